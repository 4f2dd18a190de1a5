// How fast a recording exports: the MIDI file, and the audio render against
// real time (the bundled example: 2000 frames at 50 ms, 100 s plus a 2 s tail).
#include "soundfiles/MidiFile.h"
#include "soundfiles/PassAudio.h"
#include "soundfiles/PlaybackPass.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PassSettings.h"
#include "playback/VoiceTable.h"
#include "model/DataFileLoader.h"
#include "sound/Instruments.h"
#include "sound/SynthEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

using namespace cellsonify;

namespace {

const CellModel& example() {
    static const CellModel model = LoadDataFile(
        (std::filesystem::path(__FILE__).parent_path().parent_path() / "examples" / "cortex-100-cells.txt").string());
    return model;
}

void BM_ExportMidiOfTheExample(benchmark::State& state) {
    for (auto _ : state) {
        const PlaybackPass pass = playbackPass(example(), PassSettings{});
        benchmark::DoNotOptimize(midiFileBytes(pass.messages, pass.lengthMs()));
    }
}
BENCHMARK(BM_ExportMidiOfTheExample)->Unit(benchmark::kMillisecond);

// Loading the window's SoundFont for an export (only the samples played are read later).
void BM_ExportSynthesizers(benchmark::State& state) {
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(exportSynthesizers(static_cast<int>(state.range(0))));
        } catch (const ExportError& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
}
BENCHMARK(BM_ExportSynthesizers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

// The WAV render of the example with 1 or more synthesizers side by side;
// "realtime_x" is seconds of audio per second of rendering.
// The pass with every note ended `noteMs` after it starts (0: notes ring on,
// as the window plays them), for comparing with a fixed note length.
PlaybackPass examplePass(int64_t noteMs) {
    PassSettings settings;  // 50 ms a frame, the piano
    if (noteMs != 0) settings.noteLength = NoteLength{static_cast<int>(noteMs)};
    return playbackPass(example(), settings);
}

// Arguments: synthesizers side by side, note length in ms (0: ringing).
void BM_RenderWavOfTheExample(benchmark::State& state) {
    const PlaybackPass pass = examplePass(state.range(1));
    constexpr double kTail = 2.0;
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "cellsonify-bench-export.wav";
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<SynthEngine>> engines;
        try {
            engines = exportSynthesizers(static_cast<int>(state.range(0)));
        } catch (const ExportError& e) {
            state.SkipWithError(e.what());
            return;
        }
        std::vector<SynthEngine*> playing;
        for (const auto& e : engines) playing.push_back(e.get());
        state.ResumeTiming();
        benchmark::DoNotOptimize(renderPassToWavFile(playing, pass, kTail, out.string()));
    }
    std::filesystem::remove(out);
    const double audioSeconds = static_cast<double>(pass.lengthMs()) / 1000.0 + kTail;
    state.counters["realtime_x"] =
        benchmark::Counter(audioSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderWavOfTheExample)
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({2, 200})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace
