// The embedded synthesizer rendered offline: what comes out is measured.
#include "sound/AudioAnalysis.h"
#include "sound/SoundTestSupport.h"

#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/OfflineRender.h"
#include "sound/OutputLimiter.h"
#include "sound/SynthEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace cellsonify;

namespace {

constexpr double kRate = SynthEngine::kSampleRate;

std::size_t at(double seconds) {
    return static_cast<std::size_t>(seconds * kRate);
}

class SynthRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (soundtest::testSoundFont().empty()) {
            GTEST_SKIP() << "no General MIDI SoundFont installed";
        }
        engine = freshEngine();
    }

    static std::unique_ptr<SynthEngine> freshEngine() {
        auto made = soundtest::loadedEngine();
        EXPECT_NE(made, nullptr) << "SoundFont " << soundtest::testSoundFont() << " did not load";
        return made;
    }

    // Mono mix of `seconds` of sound from a fresh synthesizer given `messages`.
    static std::vector<float> renderFresh(const std::vector<TimedMessage>& messages, double seconds) {
        auto synth = freshEngine();
        if (!synth) {
            return {};
        }
        return audio::monoMix(renderMessages(*synth, messages, framesForSeconds(seconds)));
    }

    // Spectrum of note 69 on `program`, past the attack.
    static std::vector<double> noteSpectrum(int32_t program) {
        const auto mono =
            renderFresh({{0, programChangeMessage(program)}, {0, noteOnMessage(69, 127)}}, 0.6);
        return audio::magnitudeSpectrum(audio::slice(mono, at(0.1), 16384), 16384);
    }

    std::unique_ptr<SynthEngine> engine;
};

}  // namespace

TEST_F(SynthRender, NothingSentIsSilence) {
    ASSERT_NE(engine, nullptr);
    const auto stereo = renderMessages(*engine, {}, framesForSeconds(1.0));
    ASSERT_EQ(stereo.size(), 2 * at(1.0));
    // The reverb keeps a DC offset near 1e-8 against denormals; anything audible
    // would be thousands of times larger.
    EXPECT_LT(audio::peak(stereo), 1e-6);
}

TEST_F(SynthRender, PianoNotesSoundAtTheirPitch) {
    struct Case {
        int note;
        double hz;
    };
    for (const Case c : {Case{69, 440.0}, Case{60, 261.63}, Case{48, 130.81}, Case{81, 880.0}}) {
        const auto mono =
            renderFresh({{0, programChangeMessage(0)}, {0, noteOnMessage(c.note, 127)}}, 0.6);
        // Past the hammer's attack; 16384 samples resolve 2.7 Hz bins.
        const auto steady = audio::slice(mono, at(0.1), 16384);
        ASSERT_GT(audio::rms(steady), 1e-4) << "note " << c.note << " is silent";
        EXPECT_NEAR(audio::fundamentalFrequency(steady, kRate, 60.0, 2000.0), c.hz, c.hz * 0.01)
            << "note " << c.note;
    }
    // A4 on a piano has its fundamental as the strongest partial.
    const auto a4 = renderFresh({{0, noteOnMessage(69, 127)}}, 0.6);
    EXPECT_NEAR(audio::dominantFrequency(audio::slice(a4, at(0.1), 16384), kRate, 50.0, 5000.0),
                440.0, 4.4);
}

TEST_F(SynthRender, ProgramChangeChangesTheTimbre) {
    const auto piano = noteSpectrum(0);
    // Rendering is deterministic, so the same program must give the same spectrum...
    EXPECT_LT(audio::spectralDifference(piano, noteSpectrum(0)), 1e-9);
    // ...and another instrument a clearly different one.
    EXPECT_GT(audio::spectralDifference(piano, noteSpectrum(9)), 0.2) << "Celesta";
    EXPECT_GT(audio::spectralDifference(piano, noteSpectrum(96)), 0.2) << "Ice Rain";
    EXPECT_GT(audio::spectralDifference(piano, noteSpectrum(112)), 0.05) << "Tinkle Bell";
}

TEST_F(SynthRender, ProgramChangeSelectsThatPreset) {
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->programOnChannel(0), 0);
    engine->apply(programChangeMessage(96));
    EXPECT_EQ(engine->programOnChannel(0), 96);
    EXPECT_EQ(engine->programOnChannel(1), 0) << "only channel 1 is addressed";
}

TEST_F(SynthRender, VelocityZeroStopsTheNote) {
    const std::vector<TimedMessage> held{{0, noteOnMessage(69, 127)}};
    std::vector<TimedMessage> released = held;
    released.push_back({static_cast<int64_t>(at(0.5)), noteOnMessage(69, 0)});

    const auto sustained = renderFresh(held, 2.0);
    const auto stopped = renderFresh(released, 2.0);
    const double playing = audio::rms(audio::slice(stopped, at(0.1), at(0.3)));
    const double stillSounding = audio::rms(audio::slice(sustained, at(1.5), at(0.5)));
    const double afterRelease = audio::rms(audio::slice(stopped, at(1.5), at(0.5)));
    ASSERT_GT(playing, 1e-3);
    ASSERT_GT(stillSounding, playing * 0.01) << "the held note should still ring";
    EXPECT_LT(afterRelease, playing * 1e-3);
    EXPECT_LT(afterRelease, stillSounding * 1e-2);

    auto synth = freshEngine();
    ASSERT_NE(synth, nullptr);
    renderMessages(*synth, released, framesForSeconds(2.0));
    EXPECT_EQ(synth->activeVoiceCount(), 0);
}

TEST_F(SynthRender, HundredNoteBurstOnIceRainLosesNoNotesAndTheLimiterKeepsItFromClipping) {
    ASSERT_GE(SynthEngine::kPolyphony, 512);
    for (int lowest : {10, 20, 28}) {
        auto synth = freshEngine();
        ASSERT_NE(synth, nullptr);
        ASSERT_GE(synth->polyphony(), 512);
        std::vector<TimedMessage> burst{{0, programChangeMessage(96)}};
        for (int note = lowest; note < lowest + 100; ++note) {
            burst.push_back({0, noteOnMessage(note, 127)});
        }
        const auto stereo = renderMessages(*synth, burst, framesForSeconds(0.01));
        // Every voice started is still there: none was stolen for lack of room.
        const int voices = synth->activeVoiceCount();
        // Notes outside a preset's key ranges start no voice, so not quite 100.
        EXPECT_GE(voices, 50) << "burst from note " << lowest;
        EXPECT_LT(voices, synth->polyphony()) << "burst from note " << lowest;

        auto all = stereo;
        const auto rest = renderMessages(*synth, {}, framesForSeconds(3.0));
        all.insert(all.end(), rest.begin(), rest.end());
        EXPECT_GT(audio::peak(all), 1.0) << "the burst goes past full scale before the limiter";
        OutputLimiter limiter(SynthEngine::kSampleRate);
        limiter.process(all.data(), all.data() + 1, static_cast<int>(all.size() / 2), 2);
        EXPECT_EQ(audio::countAtOrAbove(all, 1.0), 0u) << "burst from note " << lowest;
    }
}

TEST_F(SynthRender, SixteenBitRenderFollowsTheFloatRender) {
    auto floatSynth = freshEngine();
    ASSERT_NE(floatSynth, nullptr);
    ASSERT_NE(engine, nullptr);
    const int frames = static_cast<int>(at(0.3));
    floatSynth->apply(noteOnMessage(69, 127));
    engine->apply(noteOnMessage(69, 127));
    std::vector<float> reference(2 * frames);
    floatSynth->render(reference.data(), frames);
    std::vector<int16_t> pcm(2 * frames);
    engine->render(pcm.data(), frames);
    double worst = 0.0;
    for (std::size_t i = 0; i < pcm.size(); ++i) {
        worst = std::max(worst, std::abs(pcm[i] / 32768.0 - reference[i]));
    }
    // Dither and rounding: within a couple of least significant bits.
    EXPECT_LT(worst, 3.0 / 32768.0);
    EXPECT_GT(audio::peak(reference), 100.0 / 32768.0);
}

TEST_F(SynthRender, MessagesTakeEffectAtTheirFrame) {
    // Where the sound begins when the note is sent at frame 0: the sample's own
    // lead-in, the reference for later starts.
    auto onset = [](int64_t start) {
        auto synth = freshEngine();
        if (!synth) {
            return std::size_t{0};
        }
        const auto mono = audio::monoMix(renderMessages(
            *synth, std::vector<TimedMessage>{{start, noteOnMessage(69, 127)}}, framesForSeconds(0.5)));
        std::size_t first = 0;
        while (first < mono.size() && std::abs(mono[first]) < 1e-5f) {
            ++first;
        }
        return first;
    };
    const std::size_t leadIn = onset(0);
    ASSERT_LT(leadIn, at(0.05));
    for (int64_t start : {int64_t{11025}, int64_t{11072}, int64_t{15000}}) {
        const auto heard = static_cast<int64_t>(onset(start));
        // FluidSynth starts voices on its 64-frame block boundaries.
        EXPECT_GE(heard - start, static_cast<int64_t>(leadIn)) << "note sent at frame " << start;
        EXPECT_LT(heard - start, static_cast<int64_t>(leadIn) + 64) << "note sent at frame " << start;
    }
}
