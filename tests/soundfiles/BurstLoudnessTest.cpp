// A burst of a thousand cells against a frame of three, rendered offline
// through the default General MIDI font: louder, yet never past the limiter.
#include "soundfiles/PassAudio.h"
#include "playback/PassSettings.h"
#include "soundfiles/PlaybackPass.h"
#include "model/CellModel.h"
#include "playback/VoiceTable.h"
#include "sound/AudioAnalysis.h"
#include "sound/Instruments.h"
#include "sound/OutputLimiter.h"
#include "sound/SoundTestSupport.h"
#include "sound/SynthEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace cellsonify;

TEST(BurstLoudness, AThousandCellsSoundClearlyLouderThanThreeAndNeverClip) {
    const std::string font = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    if (!std::filesystem::exists(font)) GTEST_SKIP() << "FluidR3 is not installed";
    soundtest::ScopedEnv useFont{"CELLSONIFY_SOUNDFONT", font};
    // 1000 cells over C major 36..96; cells 400..402 fire in frame 2, every
    // cell in frame 42 (2 s later at 50 ms a frame).
    CellModel model;
    ActivityBuilder builder;
    for (int cell = 1; cell <= 1000; ++cell) {
        builder.beginCell(1);
        if (cell >= 400 && cell <= 402) builder.addFrame(2);
        builder.addFrame(42);
        model.CellPos.push_back({0.5, 0.5});
    }
    model.Activity = builder.finish();
    model.CellCount = 1000;
    model.FrameCount = 80;
    PassSettings settings;
    settings.mapping = {PitchMode::Scale, ScaleKind::Major, 0, 36, 96};
    const PlaybackPass pass = playbackPass(model, settings);
    ASSERT_EQ(pass.voicing.mostCells, 1000);
    ASSERT_LE(pass.voicing.mostNotes, kDefaultNotesPerFrame);

    const auto engines = exportSynthesizers(1);
    SynthEngine* engine = engines.front().get();
    std::vector<float> sound;
    ASSERT_TRUE(renderPassSound(std::span(&engine, 1), pass, 1.0, [&](std::span<const float> block) {
        sound.insert(sound.end(), block.begin(), block.end());
        return true;
    }));
    const std::vector<float> mono = audio::monoMix(sound);
    const auto window = [&](double fromSeconds) {
        return audio::rms(audio::slice(mono, static_cast<std::size_t>(fromSeconds * SynthEngine::kSampleRate),
                                       SynthEngine::kSampleRate / 2));
    };
    const double sparse = window(0.1), burst = window(2.1);
    EXPECT_GT(sparse, 0.01) << "three cells are heard";
    EXPECT_GT(20 * std::log10(burst / sparse), 6.0) << "the burst is clearly louder";
    EXPECT_LE(audio::peak(sound), OutputLimiter::kCeiling + 1e-4) << "nothing goes past the limiter's ceiling";
    // No pumping: the burst's second half-second stays within a few dB of its first.
    EXPECT_GT(20 * std::log10(window(2.6) / burst), -6.0);
}
