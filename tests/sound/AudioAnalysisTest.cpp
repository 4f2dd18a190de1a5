// The measuring tools the sound tests rely on, checked on signals made here.
#include "sound/AudioAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

std::vector<float> tones(std::initializer_list<std::pair<double, double>> partials, std::size_t n) {
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        double v = 0.0;
        for (auto [hz, amplitude] : partials) {
            v += amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / 44100.0);
        }
        out[i] = static_cast<float>(v);
    }
    return out;
}

}  // namespace

TEST(AudioAnalysis, FindsThePitchOfPureAndOvertoneRichTones) {
    const auto pure = tones({{1000.0, 0.5}}, 16384);
    EXPECT_NEAR(audio::dominantFrequency(pure, 44100.0, 50.0, 5000.0), 1000.0, 1.0);
    EXPECT_NEAR(audio::fundamentalFrequency(pure, 44100.0, 50.0, 2000.0), 1000.0, 1.0);

    // The second harmonic is louder than the fundamental, as in some piano samples.
    const auto rich = tones({{261.63, 0.2}, {523.25, 1.0}, {784.9, 0.4}}, 16384);
    EXPECT_NEAR(audio::dominantFrequency(rich, 44100.0, 50.0, 5000.0), 523.25, 1.0);
    EXPECT_NEAR(audio::fundamentalFrequency(rich, 44100.0, 50.0, 2000.0), 261.63, 1.0);
}

TEST(AudioAnalysis, LevelsAndSpectralDifference) {
    const auto sine = tones({{440.0, 0.5}}, 44100);
    EXPECT_NEAR(audio::peak(sine), 0.5, 1e-3);
    EXPECT_NEAR(audio::rms(sine), 0.5 / std::sqrt(2.0), 1e-3);
    EXPECT_EQ(audio::countAtOrAbove(sine, 0.6), 0u);
    EXPECT_GT(audio::countAtOrAbove(sine, 0.49), 0u);

    const auto a = audio::magnitudeSpectrum(sine, 8192);
    const auto louder = audio::magnitudeSpectrum(tones({{440.0, 1.0}}, 8192), 8192);
    const auto other = audio::magnitudeSpectrum(tones({{1320.0, 0.5}}, 8192), 8192);
    EXPECT_LT(audio::spectralDifference(a, louder), 1e-9) << "level alone is not timbre";
    EXPECT_GT(audio::spectralDifference(a, other), 0.9);

    const std::vector<float> stereo{1.0f, 0.0f, -0.5f, -0.5f};
    EXPECT_EQ(audio::monoMix(stereo), (std::vector<float>{0.5f, -0.5f}));
}
