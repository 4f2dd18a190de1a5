// When a fixed note length's note-offs fall, live and in an exported pass.
#include "soundfiles/PlaybackPass.h"
#include "model/CellModel.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PassSettings.h"
#include "playback/PitchMapping.h"
#include "playback/SoundingNotes.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"

#include <gtest/gtest.h>

#include <random>

using namespace cellsonify;

namespace {

struct Recorder {
    std::vector<TimedNoteOff> sent;
    void operator()(const TimedNoteOff& off) { sent.push_back(off); }
};

TimedNoteOff offAt(int64_t ms, int channel, int note) { return {ms, noteOffMessage(channel, note)}; }

// A recording whose cell c is active in the frames framesPerCell[c - 1].
CellModel recording(int frameCount, const std::vector<std::vector<int>>& framesPerCell) {
    CellModel model;
    ActivityBuilder builder;
    for (const std::vector<int>& frames : framesPerCell) {
        builder.beginCell(1);
        for (int f : frames) builder.addFrame(f);
        model.CellPos.push_back({0.5, 0.5});
    }
    model.Activity = builder.finish();
    model.CellCount = static_cast<int32_t>(framesPerCell.size());
    model.FrameCount = frameCount;
    return model;
}

}  // namespace

TEST(NoteOffSchedule, SendsEachOffWhenDueEarliestFirst) {
    NoteOffSchedule offs(NoteLength{100});
    Recorder r;
    offs.beforeNoteOn(0, noteOnMessage(0, 60, 127), r);
    offs.beforeNoteOn(10, noteOnMessage(3, 60, 127), r);  // the same note on another channel is another key
    offs.beforeNoteOn(10, noteOnMessage(0, 50, 127), r);
    EXPECT_TRUE(r.sent.empty());
    EXPECT_EQ(offs.nextDueMs(), 100);
    offs.sendDue(99, r);
    EXPECT_TRUE(r.sent.empty());
    offs.sendDue(110, r);
    EXPECT_EQ(r.sent, (std::vector{offAt(100, 0, 60), offAt(110, 3, 60), offAt(110, 0, 50)}));
    EXPECT_TRUE(offs.empty());
    EXPECT_EQ(offs.nextDueMs(), std::nullopt);
}

TEST(NoteOffSchedule, ReStrikeEndsTheOldNoteFirstAndVelocityZeroReleases) {
    NoteOffSchedule offs(NoteLength{100});
    Recorder r;
    offs.beforeNoteOn(0, noteOnMessage(0, 60, 127), r);
    offs.beforeNoteOn(40, noteOnMessage(0, 60, 127), r);
    EXPECT_EQ(r.sent, std::vector{offAt(40, 0, 60)}) << "the old note ends just before the new one starts";
    offs.sendDue(139, r);
    EXPECT_EQ(r.sent.size(), 1u) << "the old note's off is dropped";
    offs.sendDue(140, r);
    EXPECT_EQ(r.sent.back(), offAt(140, 0, 60));

    offs.beforeNoteOn(200, noteOnMessage(0, 62, 127), r);
    offs.beforeNoteOn(250, noteOnMessage(0, 62, 0), r);
    offs.sendAll(r);
    EXPECT_EQ(r.sent.size(), 2u) << "a velocity-0 note-on releases the key itself";
    EXPECT_TRUE(offs.empty());
}

TEST(PlaybackPassNoteLength, WritesEachOffAtItsTimeIncludingAfterTheLastTick) {
    // Two cells (notes 63, 64), four frames at 50 ms: cell 1 in frames 1 and
    // 2, cell 2 in frame 4, which the last tick passes and sounds at velocity 0.
    const CellModel model = recording(4, {{1, 2}, {4}});
    PassSettings settings;
    settings.noteLength = NoteLength{120};
    const PlaybackPass pass = playbackPass(model, settings);
    EXPECT_EQ(pass.ticks, 4);
    EXPECT_EQ(pass.messages, (std::vector<MidiFileEvent>{
                                 {0, programChangeMessage(0)},
                                 {50, noteOnMessage(63, 127)},
                                 {100, noteOffMessage(0, 63)},
                                 {100, noteOnMessage(63, 127)},
                                 {200, noteOnMessage(64, 0)},
                                 {220, noteOffMessage(0, 63)},
                             }));
}

TEST(PlaybackPassNoteLength, RowsTableWithRingingNotesSendsWhatTheStepperSends) {
    std::mt19937 rng(14);
    for (int trial = 0; trial < 40; ++trial) {
        const int cells = std::uniform_int_distribution<int>(0, 300)(rng);
        const int frames = std::uniform_int_distribution<int>(0, 30)(rng);
        std::bernoulli_distribution on(0.2);
        std::vector<std::vector<int>> framesPerCell(cells);
        for (auto& list : framesPerCell)
            for (int f = 1; f <= frames + 1; ++f)
                if (on(rng)) list.push_back(f);
        const CellModel model = recording(frames, framesPerCell);

        std::vector<MidiFileEvent> expected{{0, programChangeMessage(38)}};
        double position = 0;
        for (int64_t tick = 1;; ++tick) {
            position += 1.0;
            forEachSoundingNote(model, position, [&](int note, int32_t velocity) {
                expected.push_back({tick * 20, noteOnMessage(note, velocity)});
            });
            if (position > frames - 1.0) break;
        }
        PassSettings settings;
        settings.setSpeedText("20");
        settings.instrument = findInstrument(int32_t{38});
        const PlaybackPass pass = playbackPass(model, settings);
        EXPECT_EQ(pass.messages, expected) << cells << " cells, " << frames << " frames";
    }
}
