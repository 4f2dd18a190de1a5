#include "PlaybackTestHost.h"

#include "playback/Transport.h"

#include <gtest/gtest.h>

using namespace cellsonify;
using namespace playbacktest;
using Strings = std::vector<std::string>;

namespace {

// A host whose SPEED box calls the transport's handler on every change, as
// the window's line edit does.
struct Wired {
    Wired() {
        host.onSpeedChange = [this] {
            ++handlerRuns;
            transport.speedChanged();
        };
    }
    // The user's edit: new text, then the change signal.
    void type(const std::string& text) {
        host.speed = text;
        ++handlerRuns;
        transport.speedChanged();
    }
    TestHost host;
    Transport transport{host};
    int handlerRuns = 0;
};

}  // namespace

TEST(TransportButtons, PlayRedrawsThenStartsAtTheTypedSpeedAndShowsStop) {
    TestHost host;
    host.speed = "25";
    Transport transport(host);
    EXPECT_FALSE(transport.playing());
    transport.play();
    EXPECT_EQ(host.events, (Strings{"keyboard", "redraw", "interval 25", "stop shown"}));
    EXPECT_TRUE(transport.playing());
}

TEST(TransportButtons, PlayKeepsTheIntervalWhenTheTextGivesNone) {
    for (const char* text : {"1e10", "abc", "-3", ""}) {
        TestHost host;
        host.speed = text;
        host.interval = 40;
        Transport(host).play();
        EXPECT_EQ(host.events, (Strings{"keyboard", "redraw", "stop shown"})) << text;
        EXPECT_EQ(host.interval, 40) << text;
    }
}

TEST(TransportButtons, StopZeroesTheIntervalRedrawsAndHidesStop) {
    TestHost host;
    host.interval = 50;
    Transport transport(host);
    transport.stop();
    EXPECT_EQ(host.events, (Strings{"interval 0", "redraw", "keyboard", "stop hidden"}));
    EXPECT_FALSE(transport.playing());
}

TEST(TransportButtons, BackRewindsAndRedrawsWithoutTouchingTheTimer) {
    CellModel model = makeModel(3, 100, {});
    model.CurrentFrame = 42.5;
    TestHost host;
    host.interval = 50;
    host.watched = &model;
    Transport(host).back(model);
    EXPECT_EQ(model.CurrentFrame, 0);
    EXPECT_EQ(host.events, (Strings{"cursors 0 at 0", "redraw", "keyboard"}));
    EXPECT_EQ(host.interval, 50);
}

TEST(TransportButtons, SeekGoesToTheUnroundedPositionAndRedrawsOnlyTheViews) {
    CellModel model = makeModel(3, 100, {});
    TestHost host;
    host.interval = 50;
    host.watched = &model;
    Transport transport(host);
    transport.seek(model, 12.5);
    transport.seek(model, 0.25);
    EXPECT_EQ(model.CurrentFrame, 0.25);
    EXPECT_EQ(host.events, (Strings{"cursors 12.5 at 12.5", "redraw", "cursors 0.25 at 0.25", "redraw"}));
    EXPECT_EQ(host.interval, 50);
}

TEST(SpeedChange, ANonZeroSpeedWhileStoppedStartsPlaybackAndShowsStop) {
    Wired w;
    w.type("5");
    EXPECT_EQ(w.host.events, (Strings{"interval 5", "keyboard", "redraw", "stop shown"}));
    EXPECT_TRUE(w.transport.playing());
    EXPECT_EQ(w.host.speed, "5");
}

TEST(SpeedChange, TypingFiveThenZeroTicksAtFiveThenFifty) {
    Wired w;
    w.type("5");
    w.type("50");
    EXPECT_EQ(w.host.events, (Strings{"interval 5", "keyboard", "redraw", "stop shown", "interval 50", "keyboard", "redraw"}));
    EXPECT_EQ(w.host.interval, 50);
}

TEST(SpeedChange, UnusableTextBecomesZeroReenteringOnceAndStops) {
    for (const char* text : {"", "abc", "-3", "-0.4", " 0 ", "0.0"}) {
        Wired w;
        w.host.interval = 30;
        w.type(text);
        // The inner run handles "0" fully, then the outer run finishes on "0".
        EXPECT_EQ(w.host.events, (Strings{"text 0", "interval 0", "keyboard", "redraw", "stop hidden", "interval 0",
                                          "keyboard", "redraw", "stop hidden"}))
            << '"' << text << '"';
        EXPECT_EQ(w.host.speed, "0");
        EXPECT_EQ(w.handlerRuns, 2) << text;
        EXPECT_FALSE(w.transport.playing());
    }
}

TEST(SpeedChange, ZeroAlreadyInTheBoxIsNotWrittenAgain) {
    Wired w;
    w.host.interval = 30;
    w.host.signalsEveryWrite = true;  // even a host that signals each write sees no loop
    w.type("0");
    EXPECT_EQ(w.host.events, (Strings{"interval 0", "keyboard", "redraw", "stop hidden"}));
    EXPECT_EQ(w.handlerRuns, 1);
}

TEST(SpeedChange, AHostThatSignalsEveryWriteStillEnds) {
    Wired w;
    w.host.signalsEveryWrite = true;
    w.type("x");
    EXPECT_EQ(w.handlerRuns, 2);
    EXPECT_EQ(w.host.speed, "0");
}

TEST(SpeedChange, BelowOneHalfStopsButStaysAsTyped) {
    Wired w;
    w.host.interval = 30;
    w.type("0.4");
    EXPECT_EQ(w.host.events, (Strings{"interval 0", "keyboard", "redraw", "stop hidden"}));
    EXPECT_EQ(w.host.speed, "0.4");
    EXPECT_FALSE(w.transport.playing());
}

TEST(SpeedChange, HalvesRoundToEvenMilliseconds) {
    Wired w;
    w.type("2.5");
    EXPECT_EQ(w.host.interval, 2);
    w.type("3.5");
    EXPECT_EQ(w.host.interval, 4);
}

TEST(SpeedChange, ASpeedTooLargeForTheTimerKeepsThePreviousInterval) {
    Wired w;
    w.host.interval = 30;
    w.type("1e10");
    EXPECT_EQ(w.host.events, (Strings{"keyboard", "redraw"}));
    EXPECT_EQ(w.host.interval, 30);
    EXPECT_EQ(w.host.speed, "1e10");
}

TEST(SpeedChange, TheStopButtonShowsOnlyWhenTheSpeedStartsOrStopsPlayback) {
    Wired w;
    w.transport.stop();
    std::vector<bool> shown;
    for (const char* text : {"5", "7", "", "0.4", "70"}) {
        w.host.forget();
        w.type(text);
        for (const std::string& e : w.host.events)
            if (e.rfind("stop", 0) == 0) shown.push_back(e == "stop shown");
        if (!shown.empty()) EXPECT_EQ(shown.back(), w.transport.playing()) << text;
    }
    // "5" starts, "7" changes nothing, "" stops (reported by the inner and
    // the outer run), "0.4" leaves it stopped, "70" starts again.
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false, true}));
}

TEST(SpeedSet, ByTheProgramNeitherStartsNorStopsPlayback) {
    Wired w;
    w.host.speed = "33";
    w.transport.speedSet();
    EXPECT_EQ(w.host.events, (Strings{"keyboard", "redraw"}));
    EXPECT_FALSE(w.transport.playing());

    w.host.interval = 50;
    w.host.forget();
    w.transport.speedSet();
    EXPECT_EQ(w.host.events, (Strings{"interval 33", "keyboard", "redraw"}));
    w.host.speed = "0";
    w.transport.speedSet();
    EXPECT_EQ(w.host.interval, 33) << "a text giving 0 does not stop it either";
}
