// Cells of one frame on one key merge into one note, a budget caps the notes
// a frame starts, and the oldest ringing keys make room: exact messages of a
// pass, and the live controller sending the very same ones.
#include "playback/PassSettings.h"
#include "soundfiles/PlaybackPass.h"
#include "model/CellModel.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackDisplay.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingOutput.h"
#include "drawing/KeyGeometry.h"

#include <gtest/gtest.h>

using namespace cellsonify;

namespace {

struct Cell {
    int note;
    std::vector<int> frames;
    std::vector<float> peaks = {};  // one per frame, for strength velocity
};

// Cells on channel 0 with the given notes and frames; strengths at K = 3
// (z 3 plays at velocity 40, 6 at 84, 9 at 127) when any cell has peaks.
struct Recording {
    CellModel model;
    VoiceTable voices;
};

Recording recording(int frameCount, const std::vector<Cell>& cells) {
    Recording r;
    ActivityBuilder builder;
    std::vector<CellVoice> voices(1);
    for (const Cell& c : cells) {
        builder.beginCell(1);
        for (int f : c.frames) builder.addFrame(f);
        r.model.Strength.peakZ.insert(r.model.Strength.peakZ.end(), c.peaks.begin(), c.peaks.end());
        r.model.CellPos.push_back({0.5, 0.5});
        voices.push_back({static_cast<int16_t>(c.note), 0});
    }
    r.model.Strength.threshold = 3;
    r.model.Activity = builder.finish();
    r.model.CellCount = static_cast<int32_t>(cells.size());
    r.model.FrameCount = frameCount;
    r.voices = VoiceTable(std::move(voices), {{0, std::nullopt}});
    return r;
}

MidiFileEvent at(int64_t ms, MidiMessage m) { return {ms, m}; }
const MidiFileEvent kSetup = at(0, programChangeMessage(0, kDefaultInstrument.program));

PlaybackPass pass(const Recording& r, VelocityMode velocity, int budget, NoteLength length = {}) {
    PassSettings settings;
    settings.velocity = velocity;
    settings.notesPerFrame = budget;
    settings.noteLength = length;
    return playbackPass(r.model, settings, r.voices);
}

}  // namespace

TEST(NoteMerging, CellsOnOneKeyStrikeItOnceLouderByAStepPerDoubling) {
    EXPECT_EQ(mergedVelocity(40, 1), 40);
    EXPECT_EQ(mergedVelocity(40, 2), 40 + kVelocityStepPerDoubling);
    EXPECT_EQ(mergedVelocity(40, 7), 40 + 2 * kVelocityStepPerDoubling);
    EXPECT_EQ(mergedVelocity(40, 8), 40 + 3 * kVelocityStepPerDoubling);
    EXPECT_EQ(mergedVelocity(120, 1000), 127);
    EXPECT_EQ(mergedVelocity(0, 5), 0) << "the end of a pass stays a release";

    // Frame 1: cells 1..3 on note 60 at z 6, 4.5 and 3 (84, 62, 40), cell 4
    // on 64 at z 9 (127). The strongest of the three sets the base.
    const Recording r = recording(3, {{60, {1}, {6}}, {64, {1}, {9}}, {60, {1}, {4.5}}, {60, {1}, {3}}});
    const PlaybackPass p = pass(r, VelocityMode::Strength, kDefaultNotesPerFrame);
    EXPECT_EQ(p.messages, (std::vector{kSetup, at(50, noteOnMessage(0, 60, 84 + kVelocityStepPerDoubling)),
                                       at(50, noteOnMessage(0, 64, 127))}));
    EXPECT_EQ(p.voicing, (VoicingReport{4, 2, 2, 0, 0}));
    EXPECT_EQ(voicingSummary(4, p.voicing, kDefaultNotesPerFrame),
              "4 cells: up to 4 in a frame, heard as at most 2 notes (2 cells merged)");
}

TEST(NoteMerging, AKeyStillSoundingIsStruckAgainNotDoubled) {
    // Cell 1 on note 60 in frames 1 and 2, cell 2 on 60 in frame 2; notes
    // last 120 ms: frame 2 ends the old note and strikes it once.
    const Recording r = recording(3, {{60, {1, 2}}, {60, {2}}});
    const PlaybackPass p = pass(r, VelocityMode::Fixed, kDefaultNotesPerFrame, NoteLength{120});
    EXPECT_EQ(p.messages, (std::vector{kSetup, at(50, noteOnMessage(0, 60, 127)), at(100, noteOffMessage(0, 60)),
                                       at(100, noteOnMessage(0, 60, 127)), at(220, noteOffMessage(0, 60))}));
}

TEST(NoteBudget, NotesOfMoreCellsWinThenStrongerThenEarlier) {
    // Budget 2. Frame 1: note 50 (one cell, 127), note 52 (two cells at 40),
    // note 54 (one cell, 84), note 56 (one cell, 127). Note 52 carries most
    // cells; of the single cells 50 and 56 are as strong, 50 came first.
    const Recording r =
        recording(3, {{50, {1}, {9}}, {52, {1}, {3}}, {54, {1}, {6}}, {52, {1}, {3}}, {56, {1}, {9}}});
    const PlaybackPass p = pass(r, VelocityMode::Strength, 2);
    EXPECT_EQ(p.messages, (std::vector{kSetup, at(50, noteOnMessage(0, 50, 127)),
                                       at(50, noteOnMessage(0, 52, 40 + kVelocityStepPerDoubling))}));
    EXPECT_EQ(p.voicing, (VoicingReport{5, 2, 1, 2, 0}));
    EXPECT_EQ(voicingSummary(5, p.voicing, 2),
              "5 cells: up to 5 in a frame, heard as at most 2 notes (1 cells merged, 2 notes over the budget of 2 "
              "left out)");
    EXPECT_EQ(pass(r, VelocityMode::Strength, 4).messages.size(), 5u) << "a budget of 4 keeps all four notes";
}

TEST(NoteBudget, TheOldestRingingKeysAreReleasedToMakeRoom) {
    // Budget 1 lets two keys ring. Notes 60, 62, 64 in frames 1, 2, 3, and
    // 62 again in frame 4: 60 goes before 64 is struck; 62, struck again, is
    // the newest and 64 goes before 66.
    const Recording r = recording(6, {{60, {1}}, {62, {2, 4}}, {64, {3}}, {66, {5}}});
    const PlaybackPass p = pass(r, VelocityMode::Fixed, 1);
    EXPECT_EQ(p.messages,
              (std::vector{kSetup, at(50, noteOnMessage(0, 60, 127)), at(100, noteOnMessage(0, 62, 127)),
                           at(150, noteOffMessage(0, 60)), at(150, noteOnMessage(0, 64, 127)),
                           at(200, noteOnMessage(0, 62, 127)), at(250, noteOffMessage(0, 64)),
                           at(250, noteOnMessage(0, 66, 127))}));
    EXPECT_EQ(p.voicing.releasedNotes, 2);
}

namespace {

struct SilentDisplay : PlaybackDisplay {
    RecordingCanvas canvas;
    Canvas& raster() override { return canvas; }
    Canvas& cellMap() override { return canvas; }
    Canvas& keyboard() override { return canvas; }
    void moveCursors(double) override {}
    void redrawViews() override {}
    void drawKeyboard() override {}
    void setStopButtonVisible(bool) override {}
    void showSpeedText(const std::string&) override {}
};

}  // namespace

TEST(NoteBudget, TheWindowSendsWhatAMidiRenderOfThePassWrites) {
    // 40 cells on the five notes of a pentatonic octave, 12 frames of dense
    // and shifting activity, two notes a frame (four ringing): merging, the budget and
    // releases all act.
    CellModel model;
    ActivityBuilder builder;
    for (int cell = 1; cell <= 40; ++cell) {
        builder.beginCell(1);
        for (int f = 1; f <= 12; ++f)
            if ((cell * 7 + f * 3) % 5 < 2 || cell % 9 == f % 9) builder.addFrame(f);
        model.CellPos.push_back({0.5, 0.5});
    }
    model.Activity = builder.finish();
    model.CellCount = 40;
    model.FrameCount = 13;
    const PitchMapping mapping{PitchMode::Scale, ScaleKind::MajorPentatonic, 0, 60, 72};

    SilentDisplay display;
    KeyRect keys;
    keys.fill();
    RecordingOutput midi;
    PlaybackController live(display, keys, &midi);
    ASSERT_FALSE(live.openSound());
    live.replaceRecording(model);
    live.setMapping(mapping);
    live.setNotesPerFrame(2);
    live.soundSwitched(true);
    live.speedTextChanged("50");
    midi.clear();
    for (int tick = 0; tick < model.FrameCount; ++tick) live.tick();

    PassSettings settings;
    settings.mapping = mapping;
    settings.notesPerFrame = 2;
    const PlaybackPass offline = playbackPass(model, settings);
    std::vector<MidiMessage> written;
    for (std::size_t i = 1; i < offline.messages.size(); ++i) written.push_back(offline.messages[i].message);
    EXPECT_EQ(midi.messages(), written);
    EXPECT_GT(offline.voicing.droppedNotes, 0);
    EXPECT_GT(offline.voicing.mergedCells, 0);
    EXPECT_GT(offline.voicing.releasedNotes, 0);
    EXPECT_EQ(live.voicing(), offline.voicing);
}
