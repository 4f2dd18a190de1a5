// The playback controller without any widget: a display that records what it
// is asked to show, a recording MIDI output, settings written as a window would.
#include "PlaybackTestHost.h"

#include "playback/PlaybackController.h"
#include "playback/PlaybackDisplay.h"
#include "sound/Instruments.h"
#include "support/RecordingOutput.h"

#include <gtest/gtest.h>

using namespace cellsonify;
using namespace playbacktest;

namespace {

// Shows nothing; a speed box that reports every change back, like a line edit.
struct RecordingDisplay : PlaybackDisplay {
    RecordingCanvas rasterCanvas, mapCanvas, keyCanvas;
    std::string speedBox = "50";
    bool stopShown = false;
    PlaybackController* controller = nullptr;

    Canvas& raster() override { return rasterCanvas; }
    Canvas& cellMap() override { return mapCanvas; }
    Canvas& keyboard() override { return keyCanvas; }
    void moveCursors(double) override {}
    void redrawViews() override {}
    void drawKeyboard() override {}
    void setStopButtonVisible(bool visible) override { stopShown = visible; }
    void showSpeedText(const std::string& text) override {
        if (text == speedBox) return;
        speedBox = text;
        controller->speedTextChanged(text);
    }
};

struct Controller : ::testing::Test {
    RecordingDisplay display;
    KeyRect keys = filledKeys();
    RecordingOutput midi;
    PlaybackController playback{display, keys, &midi};

    void SetUp() override {
        display.controller = &playback;
        ASSERT_FALSE(playback.openSound());
        midi.clear();
        // Three frames; cell 1 sounds in frame 1.
        playback.replaceRecording(makeModel(2, 3, {{1, {1}}}));
    }
    void type(const std::string& text) {
        display.speedBox = text;
        playback.speedTextChanged(text);
    }
};

}  // namespace

TEST_F(Controller, TheEndOfTheDataKeepsTheLoopGoingWhenTheSpeedTextGivesNoInterval) {
    playback.play();
    ASSERT_EQ(playback.timerInterval(), 50);
    type("1e10");  // a number, but no interval the timer takes: the loop keeps 50 ms
    ASSERT_EQ(playback.timerInterval(), 50);
    for (int tick = 0; tick < 7; ++tick) playback.tick();  // twice past the end of the data
    EXPECT_EQ(playback.timerInterval(), 50);
    EXPECT_TRUE(display.stopShown);

    // A speed text that gives an interval restarts at that one, as before.
    type("20");
    playback.tick();
    playback.tick();  // frame 3, past the last: the restart
    EXPECT_EQ(playback.model().CurrentFrame, 0);  // restarted
    EXPECT_EQ(playback.timerInterval(), 20);
}

TEST_F(Controller, NotesFollowTheSoundSettingNotAnyWidget) {
    playback.tick();  // frame 1, sound off
    EXPECT_TRUE(midi.messages().empty());
    playback.soundSwitched(true);
    playback.back();
    playback.tick();
    ASSERT_EQ(midi.messages().size(), 1u);
    PlaybackSettings expected;
    expected.soundOn = true;
    EXPECT_EQ(playback.settings(), expected);

    playback.chooseInstrument(5);  // Ice Rain: program 96, sent whether sound is on or off
    EXPECT_EQ(playback.settings().pass.instrument, &kInstruments[4]);
    EXPECT_EQ(midi.messages().back(), programChangeMessage(96));
}

TEST_F(Controller, ZeroInTheSpeedBoxStopsAndIsWrittenBack) {
    playback.play();
    type("-4");
    EXPECT_EQ(display.speedBox, "0");
    EXPECT_EQ(playback.settings().pass.speedText, "0");
    EXPECT_EQ(playback.timerInterval(), 0);
}

TEST_F(Controller, StopAndBackWhileStoppedReleaseRingingNotes) {
    playback.soundSwitched(true);
    playback.play();
    playback.tick();  // frame 1: cell 1 struck, and rings (no note length)
    ASSERT_EQ(midi.messages().size(), 1u);
    const MidiMessage struck = midi.messages().front();
    ASSERT_EQ(struck.kind(), 0x90);
    playback.back();  // playing on: it keeps ringing, as at a loop
    EXPECT_EQ(midi.messages().size(), 1u);
    playback.stop();
    ASSERT_EQ(midi.messages().size(), 2u);
    EXPECT_EQ(midi.messages().back(), noteOffMessage(struck.channel(), struck.data1));
    playback.stop();  // nothing is down any more
    EXPECT_EQ(midi.messages().size(), 2u);

    playback.back();
    playback.tick();  // one tick run by hand while stopped strikes it again
    playback.back();
    EXPECT_EQ(midi.messages().back(), noteOffMessage(struck.channel(), struck.data1));
}

TEST_F(Controller, TheProgramSettingTheSpeedNeitherStartsNorStopsPlayback) {
    playback.setSpeed("33");
    EXPECT_EQ(display.speedBox, "33");
    EXPECT_EQ(playback.timerInterval(), 0);
    EXPECT_FALSE(display.stopShown);
    playback.play();
    playback.setSpeed("8");
    EXPECT_EQ(playback.timerInterval(), 8);
    type("12");  // typing still changes it as before
    EXPECT_EQ(playback.timerInterval(), 12);
}
