// The stepper with a voice table: the key lit is the note played, and keys
// that several cells share stay lit while one of them sounds.
#include "PlaybackTestHost.h"

#include "playback/PlaybackSteps.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"
#include "drawing/Palette.h"

#include <gtest/gtest.h>

using namespace cellsonify;
using namespace playbacktest;
using Op = RecordingCanvas::Op;
using Call = RecordingCanvas::Call;

namespace {

Call box(const KeyRectRow& k, int colour) { return {Op::Box, float(k.left), float(k.top), float(k.right), float(k.bottom), colour}; }

}  // namespace

TEST(StepFrameWithVoices, LightsAndPlaysTheNoteOfEachCellUnderTheMapping) {
    // 500 cells on the 36 notes of C major 36..96: cell 1 -> 36, cell 500 -> 96.
    CellModel model = makeModel(500, 20, {{1, {1}}, {250, {1}}, {500, {1}}});
    const VoiceTable voices = voiceTable(model, {PitchMode::Scale, ScaleKind::Major, 0, 36, 96});
    const KeyRect keys = filledKeys();
    TestHost host;
    StepFrame(model, keys, host, voices);
    const int middle = voices.voiceOf(250).note;
    EXPECT_EQ(host.notes, (std::vector<int>{36, middle, 96}));
    EXPECT_EQ(host.keyCanvas.calls,
              (std::vector<Call>{box(keys(36), kLightRed), box(keys(middle), kLightRed), box(keys(96), kLightRed)}));
}

TEST(StepFrameWithVoices, AKeySharedWithACellStillSoundingStaysRed) {
    // 500 cells on 36 notes: cells 1..13 all play note 36.
    CellModel model = makeModel(500, 20, {{1, {7}}, {2, {1}}});
    const VoiceTable voices = voiceTable(model, {PitchMode::Scale, ScaleKind::Major, 0, 36, 96});
    ASSERT_EQ(voices.voiceOf(1), voices.voiceOf(2));
    const KeyRect keys = filledKeys();
    TestHost host;
    host.speed = "50";  // a trail of six frames: cell 2 of frame 1 fades as cell 1 lights
    model.CurrentFrame = 6;
    StepFrame(model, keys, host, voices);
    EXPECT_EQ(host.keyCanvas.calls, (std::vector<Call>{box(keys(36), kLightRed)}));
}

TEST(StepFrameWithVoices, AKeyStaysRedWhileAnotherCellLitSinceStillLightsIt) {
    // Cells 1 and 2 share note 36: cell 2 lights in frame 1, cell 1 in frame 3.
    // With a trail of six frames cell 2 fades at frame 7 while cell 1 still
    // lights the key until frame 9, where the key goes back to white.
    CellModel model = makeModel(500, 20, {{1, {3}}, {2, {1}}});
    const VoiceTable voices = voiceTable(model, {PitchMode::Scale, ScaleKind::Major, 0, 36, 96});
    ASSERT_EQ(voices.voiceOf(1), voices.voiceOf(2));
    const KeyRect keys = filledKeys();
    TestHost host;
    host.speed = "50";
    model.CurrentFrame = 6;
    StepFrame(model, keys, host, voices);
    EXPECT_EQ(host.keyCanvas.calls, std::vector<Call>{}) << "cell 1 still lights the key";
    model.CurrentFrame = 8;
    StepFrame(model, keys, host, voices);
    EXPECT_EQ(host.keyCanvas.calls, (std::vector<Call>{box(keys(36), KeyRect::isBlack(keys(36)) ? kBlack : kWhite)}));
}
