// Many cells heard through few notes: a dense recording (1500 cells, hundreds
// active a frame, bursts of most of them) exported at 30 frames a second with
// the position mapping (8 channels), so merging and the note budget both act.
//   cellsonify_bench --benchmark_filter=BM_DenseWav     "realtime_x": seconds of audio per second
//   cellsonify_bench --benchmark_filter=BM_DenseMovie   "realtime_x": seconds of movie per second
//   cellsonify_bench --benchmark_filter=BM_LongMidi     100000 frames: most note-ons in a frame, file size
//                                                       (/0 scale mapping, /1 position)
// The cell count is read from the generated file, so a larger one works once
// recordings may hold more cells.
#include "BenchData.h"

#include "soundfiles/MidiFile.h"
#include "soundfiles/PassAudio.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"
#include "export/OutputFormats.h"
#include "model/DataFileLoader.h"
#include "model/RecordingGenerator.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"
#include "sound/SynthEngine.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

using namespace cellsonify;

namespace {

namespace fs = std::filesystem;
constexpr int kThirtyFps = 33;

fs::path scratch(const std::string& name) {
    return fs::temp_directory_path() / ("cellsonify-voices-bench-" + std::to_string(::getpid()) + "-" + name);
}

// 1500 cells, `frames` frames, 15 % of cells active in a frame on average, half of it in bursts.
const CellModel& denseRecording() {
    static const CellModel model = [] {
        GeneratorSettings s;
        s.cells = 1500;
        s.frames = 1800;  // a minute at 30 frames a second
        s.activity = 0.15;
        s.burstShare = 0.5;
        s.seed = 27;
        return LoadDataFileFromBytes(generateRecording(s), "dense.txt");
    }();
    return model;
}

ExportSettings denseSettings() {
    ExportSettings settings;
    settings.pass.setSpeedText(std::to_string(kThirtyFps));
    settings.pass.mapping.mode = PitchMode::Position;
    settings.tailSeconds = 2.0;
    return settings;
}

void reportVoicing(benchmark::State& state, const PlaybackPass& pass) {
    state.counters["most_cells_in_frame"] = pass.voicing.mostCells;
    state.counters["most_notes_in_frame"] = pass.voicing.mostNotes;
}

// The dense recording exported to `name` (its extension picks the output)
// through the table of outputs, timed against the length of its sound.
void denseExport(benchmark::State& state, const char* name) {
    const CellModel& model = denseRecording();
    const ExportSettings settings = denseSettings();
    const PlaybackPass pass = exportPass(model, settings);
    const fs::path out = scratch(name);
    for (auto _ : state) {
        try {
            runExport(model, out.string(), settings);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    fs::remove(out);
    reportVoicing(state, pass);
    const double seconds = static_cast<double>(pass.lengthMs()) / 1000.0 + *settings.tailSeconds;
    state.counters["realtime_x"] =
        benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DenseWav(benchmark::State& state) { denseExport(state, "dense.wav"); }
BENCHMARK(BM_DenseWav)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_DenseMovie(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "cellsonify_bench";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!QGuiApplication::instance()) static QGuiApplication app(argc, argv);
    denseExport(state, "dense.mp4");
}
BENCHMARK(BM_DenseMovie)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The long generated recording (benchdata: 100000 frames) as MIDI; argument
// 0: the scale mapping (one channel), 1: position (eight channels).
void BM_LongMidi(benchmark::State& state) {
    static const CellModel model = LoadDataFile(benchdata::largeRecordingPath());
    ExportSettings settings = denseSettings();
    if (state.range(0) == 0) settings.pass.mapping.mode = PitchMode::Scale;
    std::size_t bytes = 0;
    PlaybackPass pass;
    for (auto _ : state) {
        pass = exportPass(model, settings);
        bytes = midiFileBytes(pass.messages, pass.lengthMs()).size();
    }
    std::map<int64_t, int> noteOnsAt;
    for (const MidiFileEvent& e : pass.messages)
        if (e.message.kind() == 0x90 && e.message.data2 > 0) ++noteOnsAt[e.timeMs];
    int most = 0;
    for (const auto& [at, count] : noteOnsAt) most = std::max(most, count);
    reportVoicing(state, pass);
    state.counters["frames"] = static_cast<double>(model.FrameCount);
    state.counters["most_note_ons_in_frame"] = most;
    state.counters["file_mb"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_LongMidi)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
