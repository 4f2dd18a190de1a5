// The output limiter on real synthesizer sound rendered offline.
#include "sound/AudioAnalysis.h"
#include "sound/SoundTestSupport.h"

#include "sound/NotePlayer.h"
#include "sound/OfflineRender.h"
#include "sound/OutputLimiter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace cellsonify;

namespace {

std::vector<float> rendered(const std::vector<int>& keys) {
    auto engine = soundtest::loadedEngine();
    std::vector<TimedMessage> messages;
    for (int key : keys) messages.push_back({0, noteOnMessage(key, 127)});
    return renderMessages(*engine, messages, framesForSeconds(1.5));
}

std::vector<float> limited(std::vector<float> sound) {
    OutputLimiter limiter(SynthEngine::kSampleRate);
    // In uneven blocks, as an audio driver asks for them.
    for (std::size_t first = 0, block = 1; first < sound.size() / 2; first += block, block = block * 3 % 1000 + 1) {
        const std::size_t frames = std::min(block, sound.size() / 2 - first);
        limiter.process(sound.data() + 2 * first, sound.data() + 2 * first + 1, static_cast<int>(frames), 2);
    }
    return sound;
}

}  // namespace

TEST(OutputLimiter, ABurstStaysBelowFullScaleAndASingleNotePassesUnchanged) {
    if (soundtest::testSoundFont().empty()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    std::vector<int> hundred;
    for (int key = 14; key < 114; ++key) hundred.push_back(key);
    const std::vector<float> burst = rendered(hundred);
    ASSERT_GT(audio::peak(burst), 1.0) << "the burst should need limiting";
    const std::vector<float> burstOut = limited(burst);
    EXPECT_LE(audio::peak(burstOut), OutputLimiter::kCeiling * 1.0001) << "up to float rounding";
    // Turned down, not gated: the burst is still loud once its peaks have passed.
    EXPECT_GT(audio::peak(audio::slice(burstOut, burstOut.size() / 2, burstOut.size() / 2)), 0.3);

    const std::vector<float> note = rendered({60});
    ASSERT_LT(audio::peak(note), OutputLimiter::kCeiling);
    const std::vector<float> noteOut = limited(note);
    constexpr std::size_t kDelay = 2 * OutputLimiter::kLookAheadFrames;
    for (std::size_t i = 0; i + kDelay < note.size(); ++i) ASSERT_EQ(noteOut[i + kDelay], note[i]) << "sample " << i;
}
