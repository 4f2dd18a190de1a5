#include "AppTestSupport.h"

#include "playback/PlaybackController.h"
#include "drawing/Palette.h"
#include "views/ImageButton.h"


#include <cmath>
#include <QLineEdit>
#include <QRadioButton>

using namespace cellsonify;
using namespace apptest;

struct MainWindowTransport : WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        files.models["/data/long.txt"] = viewstest::makeModel(100, {{5, 10, 50}, {10, 60}, {70}});
        openNow(*window, "/data/long.txt");
    }
    int interval() { return window->playback().timerInterval(); }
    bool stopShown() { return !window->stopButton().isHidden(); }
    QLineEdit& speed() { return window->speedBox(); }
    // Replaces the whole speed text by typing `text` over a selection, one key per character.
    void retype(const QString& text) {
        speed().selectAll();
        uievents::type(speed(), text);
    }
    // Replaces the whole text at once, as a paste does: one key press carrying
    // all of `text` (or Delete over the selection for an empty text).
    void paste(const QString& text) {
        speed().selectAll();
        QKeyEvent down(QEvent::KeyPress, text.isEmpty() ? Qt::Key_Delete : 0, Qt::NoModifier, text);
        QApplication::sendEvent(&speed(), &down);
    }
    // Selects "Sound ON" with a click.
    void choose9() {
        auto* on = window->findChild<QRadioButton*>(QStringLiteral("Option9"));
        ASSERT_NE(on, nullptr);
        uievents::click(*on, {5, 5});
    }
    void backspace() {
        speed().end(false);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&speed(), &down);
    }
};

TEST_F(MainWindowTransport, PlayStopAndBackByClickingTheButtons) {
    EXPECT_EQ(interval(), 0);
    uievents::click(window->playButton());
    EXPECT_EQ(interval(), 50);
    EXPECT_TRUE(stopShown());
    uievents::click(window->playButton());  // again: still 50
    EXPECT_EQ(interval(), 50);

    window->playback().tick();
    window->playback().tick();
    EXPECT_EQ(window->model().CurrentFrame, 2);
    uievents::click(window->backButton());
    EXPECT_EQ(window->model().CurrentFrame, 0);
    EXPECT_EQ(interval(), 50);  // Back does not stop

    uievents::click(window->stopButton());
    EXPECT_EQ(interval(), 0);
    EXPECT_FALSE(stopShown());
}

TEST_F(MainWindowTransport, PressingTheRasterOrTheStripSeeksToTheUnroundedFrame) {
    const double px = 123;
    uievents::press(window->raster(), {px + CanvasView::kBorder, 40}, Qt::RightButton);
    const double expected = window->raster().canvas().userX(px);
    EXPECT_DOUBLE_EQ(window->model().CurrentFrame, expected);
    EXPECT_NE(expected, std::round(expected));
    EXPECT_EQ(interval(), 0);  // seeking does not start playback

    uievents::press(window->frameStrip(), {300 + CanvasView::kBorder, 3});
    EXPECT_DOUBLE_EQ(window->model().CurrentFrame, window->frameStrip().canvas().userX(300));
    // The cursors follow: the strip's cursor sits at the pressed pixel.
    EXPECT_NEAR(window->frameStrip().toPixelX(window->model().CurrentFrame), 300, 1);
}

TEST_F(MainWindowTransport, EveryKeystrokeInTheSpeedBoxIsASpeedChange) {
    paste("");  // emptied: stops and shows "0"
    EXPECT_EQ(speed().text(), "0");
    EXPECT_EQ(interval(), 0);

    retype("5");  // a non-zero speed while stopped starts playback, and STOP shows it
    EXPECT_EQ(interval(), 5);
    EXPECT_TRUE(stopShown());
    uievents::type(speed(), "0");  // "50"
    EXPECT_EQ(speed().text(), "50");
    EXPECT_EQ(interval(), 50);

    paste("0.4");  // rounds to 0: stops, but stays as typed
    EXPECT_EQ(speed().text(), "0.4");
    EXPECT_EQ(interval(), 0);
    uievents::click(window->playButton());  // Play finds 0 too: nothing moves under STOP
    EXPECT_EQ(interval(), 0);
    EXPECT_TRUE(stopShown());

    paste("2.5");
    EXPECT_EQ(interval(), 2);
    paste("3.5");
    EXPECT_EQ(interval(), 4);
    paste("1e10");  // too large for the timer: the interval stays
    EXPECT_EQ(speed().text(), "1e10");
    EXPECT_EQ(interval(), 4);
    uievents::click(window->playButton());
    EXPECT_EQ(interval(), 4);

    paste("-3");
    EXPECT_EQ(speed().text(), "0");
    EXPECT_EQ(interval(), 0);
    retype("20");
    EXPECT_EQ(interval(), 20);
    paste("abc");
    EXPECT_EQ(speed().text(), "0");
    EXPECT_EQ(interval(), 0);

    retype("75");
    backspace();  // "7"
    EXPECT_EQ(interval(), 7);
    backspace();  // "" -> "0"
    EXPECT_EQ(speed().text(), "0");
    EXPECT_EQ(interval(), 0);
}

TEST_F(MainWindowTransport, ASpeedChangeRepaintsTheHighlights) {
    uievents::click(window->playButton());
    window->playback().seek(9);
    window->playback().tick();  // frame 10: cells 1 and 2 light up
    const QImage lit = uievents::shownClient(window->raster());
    const int cursors = 2 * 9;  // the two red cursor ticks are overlays
    ASSERT_GT(viewstest::countColour(lit, kRedRgb), cursors);
    retype("60");
    const QImage after = uievents::shownClient(window->raster());
    EXPECT_LE(viewstest::countColour(after, kRedRgb), cursors);
}

TEST_F(MainWindowTransport, TheTimerPlaysAndLoopsOnItsOwn) {
    // The window's timer reads a clock the test moves; its wakeups are run
    // as the timer's own would run them once that much time has passed.
    TickSchedule::TimePoint now{};
    MainWindowServices s;
    s.chooser = &chooser;
    s.messages = &messages;
    s.open = files.opener();
    s.clock = [&now] { return now; };
    window = std::make_unique<MainWindow>(s);
    const auto wait = [&](int ms) {
        now += std::chrono::milliseconds(ms);
        window->playback().timer().runDueTicks();
    };
    files.models["/data/short.txt"] = viewstest::makeModel(5, {{1, 2, 3, 4, 5}});
    openNow(*window, "/data/short.txt");
    retype("1");
    ASSERT_EQ(interval(), 1);
    std::vector<double> frames;
    for (int ms = 0; ms < 7; ++ms) {
        wait(1);
        frames.push_back(window->model().CurrentFrame);
    }
    // A tick a millisecond through the frames; the fifth passes the last and starts over.
    EXPECT_EQ(frames, (std::vector<double>{1, 2, 3, 4, 0, 1, 2}));
    EXPECT_EQ(interval(), 1);
    uievents::click(window->playButton());
    uievents::click(window->stopButton());
    wait(30);
    EXPECT_EQ(window->model().CurrentFrame, 2) << "ticked after Stop";
}

TEST_F(MainWindowTransport, LoadingDuringPlaybackKeepsPlayingFromTheStartOfTheNewData) {
    files.models["/data/next.txt"] = viewstest::makeModel(30, {{1}, {2}});
    uievents::click(window->playButton());
    for (int i = 0; i < 7; ++i) window->playback().tick();
    ASSERT_EQ(window->model().CurrentFrame, 7);
    uievents::drop(window->cellMap(), uievents::files({"/data/next.txt"}));
    waitForOpening(*window);
    EXPECT_EQ(window->model().FrameCount, 30);
    EXPECT_EQ(window->model().CurrentFrame, 0);
    EXPECT_EQ(interval(), 50);  // the timer was not touched
    EXPECT_TRUE(stopShown());
    choose9();
    midi.clear();
    window->playback().tick();  // frame 1 of the new data: its cell 1 (note 63 of two)
    EXPECT_EQ(window->model().CurrentFrame, 1);
    ASSERT_EQ(midi.messages().size(), 1u);
    EXPECT_EQ(midi.bytes(0), (std::array<uint8_t, 3>{0x90, 63, 0x7F}));
}

TEST_F(MainWindowTransport, EmptyAndFramelessRecordingsPlaySeekAndRedrawWithoutHarm) {
    files.models["/data/no-cells.txt"] = viewstest::makeModel(100000, {});
    files.models["/data/no-frames.txt"] = viewstest::makeModel(0, {{1, 2}, {3}});
    for (const char* name : {"/data/no-cells.txt", "/data/no-frames.txt"}) {
        openNow(*window, name);
        ASSERT_EQ(window->model().DataFile, name);
        uievents::click(window->playButton());
        for (int i = 0; i < 5; ++i) window->playback().tick();
        uievents::press(window->raster(), {100, 50});
        uievents::press(window->frameStrip(), {100, 3});
        EXPECT_TRUE(std::isfinite(window->model().CurrentFrame)) << name;
        window->playback().tick();
        uievents::click(window->stopButton());
        const QImage shown = uievents::shownClient(window->raster());
        EXPECT_FALSE(shown.isNull());
    }
    // With no frames every tick passes the end and restarts at once.
    EXPECT_EQ(window->model().CurrentFrame, 0);
}
