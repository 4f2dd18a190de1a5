// Audio exports rendered through the real synthesizer and measured.
#include "soundfiles/ExportTestSupport.h"

#include "soundfiles/PassAudio.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"
#include "model/DataFileLoader.h"
#include "sound/AudioAnalysis.h"
#include "sound/Instruments.h"
#include "sound/SoundTestSupport.h"
#include "sound/SynthEngine.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

using namespace cellsonify;
using namespace exporttest;

namespace {

constexpr double kRate = 44100;

// Exports render with the small test SoundFont, found as the window finds its font.
struct AudioExport : ::testing::Test {
    void SetUp() override {
        if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
    }
    std::string font = soundtest::testSoundFont();
    soundtest::ScopedEnv useFont{"CELLSONIFY_SOUNDFONT", font};
    testfiles::TempDir dir;

    CellModel load(const std::string& text) { return LoadDataFile(dir.write("rec.txt", text).string()); }
};

std::vector<SynthEngine*> pointers(const std::vector<std::unique_ptr<SynthEngine>>& engines) {
    std::vector<SynthEngine*> out;
    for (const auto& e : engines) out.push_back(e.get());
    return out;
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Wav render(const PlaybackPass& pass, int engines, std::optional<double> tail) {
    const auto owned = exportSynthesizers(engines);
    testfiles::TempDir dir;
    const std::filesystem::path out = dir.path() / "pass.wav";
    if (!renderPassToWavFile(pointers(owned), pass, tail, out.string())) {
        ADD_FAILURE() << "cancelled without being asked to";
        return {};
    }
    return parseWav(fileBytes(out));
}

// The pass settings at `speed` with instrument `program`.
PassSettings passAt(const char* speed, int32_t program = 0) {
    PassSettings pass;
    pass.setSpeedText(speed);
    pass.instrument = findInstrument(program);
    return pass;
}

std::size_t frameAt(double seconds) { return static_cast<std::size_t>(std::lround(seconds * kRate)); }

}  // namespace

TEST_F(AudioExport, OneCellSoundsItsNoteForTheWholePassPlusTheTail) {
    // One cell: note floor(126 / 2 + 1) = 64, E4 at 329.63 Hz. It lights in
    // frame 1 only; three frames make three ticks of 100 ms, then 2 s of tail.
    ExportSettings settings;
    settings.pass.setSpeedText("100");
    settings.tailSeconds = 2.0;
    const std::filesystem::path out = dir.path() / "out.wav";
    ASSERT_TRUE(exportWavFile(load(dataFileText(3, {{1}})), out.string(), settings));
    const Wav wav = parseWav(fileBytes(out));
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sampleRate, 44100);
    EXPECT_EQ(wav.bitsPerSample, 16);
    EXPECT_EQ(wav.samples.size(), 2 * frameAt(0.3 + 2.0));

    const std::vector<float> mono = audio::monoMix(wav.samples);
    // Nothing before the first tick at 100 ms, a clear tone after it.
    EXPECT_LT(audio::peak(audio::slice(mono, 0, frameAt(0.095))), 2.0 / 32768) << "silence, to the last bit";
    const auto sounding = audio::slice(mono, frameAt(0.15), frameAt(0.5));
    EXPECT_GT(audio::rms(sounding), 0.0005);
    EXPECT_NEAR(audio::fundamentalFrequency(sounding, kRate, 100, 2000), 329.63, 329.63 * 0.01);
}

TEST_F(AudioExport, TheTailFollowsTheLastTickAndCanBeLeftOut) {
    const CellModel model = load(dataFileText(2, {{1}, {2}}));
    const PlaybackPass pass = playbackPass(model, passAt("250"));
    ASSERT_EQ(pass.ticks, 2);
    EXPECT_EQ(render(pass, 1, 0.0).samples.size(), 2 * frameAt(0.5));
    EXPECT_EQ(render(pass, 1, 0.75).samples.size(), 2 * frameAt(0.5 + 0.75));
    EXPECT_THROW(passAudioFrames(pass, -1), ExportError);
    EXPECT_THROW(passAudioFrames(pass, std::nan("")), ExportError);
    // Longer than a RIFF file's 32-bit sizes allow: refused before rendering.
    PlaybackPass endless = pass;
    endless.intervalMs = 2147483647;
    EXPECT_THROW(passAudioFrames(endless, 2), ExportError);
}

TEST_F(AudioExport, TheDefaultTailRunsUntilTheSoundHasDiedAwayAndEveryFileEndsFaded) {
    // A celesta note struck on the last tick rings for seconds.
    const CellModel model = load(dataFileText(2, {{1}}));
    const PlaybackPass pass = playbackPass(model, passAt("100", 9));
    const std::size_t fade = frameAt(kEndFadeSeconds);
    const auto tailOf = [&](const Wav& wav) { return audio::monoMix(wav.samples); };

    const std::vector<float> quiet = tailOf(render(pass, 1, std::nullopt));
    ASSERT_GT(quiet.size(), frameAt(0.2 + 0.5)) << "the ringing note is not cut off";
    EXPECT_LT(quiet.size(), frameAt(0.2 + kLongestQuietTail));
    EXPECT_LT(audio::peak(audio::slice(quiet, quiet.size() - fade, fade)), kQuietLevel);

    // A forced tail that cuts the note off fades it out over the last 50 ms.
    const std::vector<float> cut = tailOf(render(pass, 1, 0.3));
    ASSERT_EQ(cut.size(), frameAt(0.2 + 0.3));
    const double before = audio::rms(audio::slice(cut, cut.size() - 2 * fade, fade));
    ASSERT_GT(before, 0.01) << "still ringing before the fade";
    EXPECT_LT(audio::rms(audio::slice(cut, cut.size() - fade / 10, fade / 10)), before / 100);
    EXPECT_LT(audio::peak(audio::slice(cut, cut.size() - 5, 5)), 1e-3);
}

TEST_F(AudioExport, KeysDealtOverSeveralSynthesizersSoundAsOne) {
    // Eight cells on eight keys striking in turns, in a chord and again, so
    // every share of the keys has notes, re-strikes and the final silent tick.
    const CellModel model =
        load(dataFileText(12, {{1, 5, 9}, {2, 5}, {3, 6, 10}, {4, 6}, {1, 7, 11}, {2, 7}, {3, 8}, {4, 8, 12}}));
    const PlaybackPass pass = playbackPass(model, passAt("40", 11));
    const Wav one = render(pass, 1, 0.5);
    const Wav three = render(pass, 3, 0.5);
    ASSERT_EQ(one.samples.size(), three.samples.size());
    double signal = 0, difference = 0;
    for (std::size_t i = 0; i < one.samples.size(); ++i) {
        signal += double(one.samples[i]) * one.samples[i];
        difference += double(one.samples[i] - three.samples[i]) * (one.samples[i] - three.samples[i]);
    }
    ASSERT_GT(signal, 0.0);
    // A share missing the program change or a key would differ by the whole note.
    EXPECT_LT(10 * std::log10(difference / signal + 1e-30), -50.0);
}

TEST_F(AudioExport, ADensePassSharesTheVoiceBoundOverItsSynthesizersAndRendersTheSameEachTime) {
    const auto two = exportSynthesizers(2);
    for (const auto& engine : two) EXPECT_EQ(engine->polyphony(), SynthEngine::kPolyphony / 2);
    // 120 cells on 120 keys, all struck every 20 ms: each strike leaves the
    // key's last voices in their release, far more than either bound holds.
    const CellModel model = load(dataFileText(40, std::vector<std::vector<int>>(120, [] {
                                                      std::vector<int> every;
                                                      for (int f = 1; f < 40; ++f) every.push_back(f);
                                                      return every;
                                                  }())));
    PassSettings settings = passAt("20");
    settings.notesPerFrame = 128;
    const PlaybackPass pass = playbackPass(model, settings);
    const Wav shared = render(pass, 2, 0.3);
    EXPECT_EQ(render(pass, 2, 0.3).samples, shared.samples);
    const Wav one = render(pass, 1, 0.3);
    ASSERT_EQ(one.samples.size(), shared.samples.size());
    const auto power = [](const Wav& w) {
        double sum = 0;
        for (float v : w.samples) sum += double(v) * v;
        return sum;
    };
    ASSERT_GT(power(one), 0.0);
    // Each synthesizer ends its own quietest releasing voices, not the same
    // ones as a single synthesizer would: the level stays, the detail differs.
    EXPECT_NEAR(10 * std::log10(power(shared) / power(one)), 0.0, 1.0);
}

TEST_F(AudioExport, CancellingStopsTheRenderAndLeavesNoFile) {
    const CellModel model = load(dataFileText(100, {{1, 50}, {2, 60}}));
    ExportSettings settings;
    int asked = 0;
    const std::filesystem::path out = dir.path() / "out.wav";
    // Let it start, then cancel at the next report.
    EXPECT_FALSE(exportWavFile(model, out.string(), settings, [&](double) { return ++asked < 3; }));
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "only rec.txt stays";

    std::vector<double> reports;
    ASSERT_TRUE(exportWavFile(model, out.string(), settings, [&](double done) {
        reports.push_back(done);
        return true;
    }));
    EXPECT_TRUE(std::filesystem::exists(out));
    ASSERT_GE(reports.size(), 3u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 1.0);
}
