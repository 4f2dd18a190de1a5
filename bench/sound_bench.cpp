// How quickly the sound subsystem answers the window, and how fast it renders offline.
#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/OfflineRender.h"
#include "sound/SoundFontLocator.h"
#include "sound/SynthEngine.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace cellsonify;

namespace {

// The SoundFont the application itself would pick (the large one on most systems).
std::string systemSoundFont() {
    return chooseSoundFont().path.string();
}

const std::string kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// open() without an audio device: what the window waits for before it can go on.
void BM_OpenReturnsBeforeTheSoundFontLoads(benchmark::State& state) {
    const std::string font = systemSoundFont();
    if (font.empty()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    for (auto _ : state) {
        auto output = std::make_unique<FluidSynthOutput>(FluidSynthOptions{font, false});
        if (output->open() != 0) {
            state.SkipWithError(output->lastError().c_str());
            return;
        }
        output->shortMessage(programChangeMessage(0));
        state.PauseTiming();
        output->waitUntilLoaded();
        output.reset();
        state.ResumeTiming();
    }
    state.SetLabel(font);
}
BENCHMARK(BM_OpenReturnsBeforeTheSoundFontLoads)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole load that now happens in the background.
void BM_LoadSoundFont(benchmark::State& state, bool small) {
    const std::string font = small ? kSmallSoundFont : systemSoundFont();
    if (checkSoundFontFile(font) != "") {
        state.SkipWithError("SoundFont missing");
        return;
    }
    for (auto _ : state) {
        auto engine = SynthEngine::create();
        benchmark::DoNotOptimize(engine->loadSoundFont(font));
        state.PauseTiming();
        engine.reset();
        state.ResumeTiming();
    }
    state.SetLabel(font);
}
BENCHMARK_CAPTURE(BM_LoadSoundFont, small, true)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_LoadSoundFont, system, false)->Unit(benchmark::kMillisecond)->Iterations(3);

// The real output where no sound device exists: the window's start-up cost on failure.
void BM_OpenWithoutAnyAudioDevice(benchmark::State& state) {
    const char* disabled = std::getenv("CELLSONIFY_NO_AUDIO_DEVICE");
    if (disabled != nullptr && *disabled != '\0') {
        state.SkipWithError("CELLSONIFY_NO_AUDIO_DEVICE is set");
        return;
    }
    for (auto _ : state) {
        FluidSynthOutput output({kSmallSoundFont, true});
        benchmark::DoNotOptimize(output.open());
    }
}
BENCHMARK(BM_OpenWithoutAnyAudioDevice)->Unit(benchmark::kMillisecond)->Iterations(5);

// Ten seconds of a hundred-note Ice Rain burst re-struck every second, as a
// WAV export of a busy recording would render it.
void BM_OfflineRenderTenSeconds(benchmark::State& state) {
    auto engine = SynthEngine::create();
    if (!engine || !engine->loadSoundFont(kSmallSoundFont)) {
        state.SkipWithError("cannot load the small SoundFont");
        return;
    }
    std::vector<TimedMessage> messages{{0, programChangeMessage(96)}};
    for (int second = 0; second < 10; ++second) {
        for (int note = 20; note < 120; ++note) {
            messages.push_back({framesForSeconds(second), noteOnMessage(note, 127)});
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderMessages(*engine, messages, framesForSeconds(10.0)));
    }
    state.counters["audio_s_per_s"] = benchmark::Counter(
        10.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OfflineRenderTenSeconds)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
