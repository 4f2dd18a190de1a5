// Thousands of cells heard through few notes: the voices plane (VoicesPlane.h:
// 18,000 cells, about 100 active a frame, bursts of 1000) exported at 30
// frames a second, so merging and the note budget both act.
//   cellsonify_bench --benchmark_filter=BM_DenseWav     "realtime_x": seconds of audio per second
//   cellsonify_bench --benchmark_filter=BM_DenseMovie   "realtime_x": seconds of movie per second
//                                                       (a minute of the plane; /0 scale mapping, /1 position)
//   cellsonify_bench --benchmark_filter=BM_LongMidi     100000 frames: most note-ons in a frame, file size
//                                                       (/0 rows, /1 scale, /2 position)
// CELLSONIFY_BENCH_CELLS sets another number of cells. The same plane as a
// suite2p folder, for the window and the command line:
//   cellsonify_bench --make-voices-plane DIR 18000 1800
#include "BenchData.h"
#include "VoicesPlane.h"

#include "soundfiles/MidiFile.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"
#include "export/OutputFormats.h"


#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
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

benchdata::VoicesPlane plane(int frames) {
    benchdata::VoicesPlane p;
    const char* cells = std::getenv("CELLSONIFY_BENCH_CELLS");
    if (cells && std::atoi(cells) > 0) p.cells = std::atoi(cells);
    p.frames = frames;
    return p;
}

// A minute of the plane at 30 frames a second.
const CellModel& minuteOfPlane() {
    static const CellModel model = benchdata::voicesPlaneModel(plane(1800));
    return model;
}

constexpr PitchMode kMappings[] = {PitchMode::Rows, PitchMode::Scale, PitchMode::Position};

ExportSettings planeSettings(PitchMode mapping) {
    ExportSettings settings;
    settings.pass.setSpeedText(std::to_string(kThirtyFps));
    settings.pass.mapping.mode = mapping;
    settings.tailSeconds = 2.0;
    return settings;
}

void reportVoicing(benchmark::State& state, const PlaybackPass& pass) {
    state.counters["most_cells_in_frame"] = pass.voicing.mostCells;
    state.counters["most_notes_in_frame"] = pass.voicing.mostNotes;
}

// A minute of the plane exported to `name` (its extension picks the output)
// through the table of outputs, timed against the length of its sound;
// argument 0: the scale mapping, 1: position (eight channels).
void denseExport(benchmark::State& state, const char* name) {
    const CellModel& model = minuteOfPlane();
    const ExportSettings settings = planeSettings(kMappings[1 + state.range(0)]);
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
BENCHMARK(BM_DenseWav)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_DenseMovie(benchmark::State& state) {
    benchdata::ensureGuiApplication();
    denseExport(state, "dense.mp4");
}
BENCHMARK(BM_DenseMovie)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// 100000 frames of the plane as MIDI under the mapping kMappings[argument].
void BM_LongMidi(benchmark::State& state) {
    static const CellModel model = benchdata::voicesPlaneModel(plane(100000));
    const ExportSettings settings = planeSettings(kMappings[state.range(0)]);
    std::size_t bytes = 0;
    PlaybackPass pass;
    for (auto _ : state) {
        pass = exportPass(model, settings);
        bytes = passMidiBytes(pass).size();
    }
    std::map<int64_t, int> noteOnsAt;
    std::size_t noteOffs = 0;
    for (const MidiFileEvent& e : pass.messages) {
        if (e.message.kind() == 0x90 && e.message.data2 > 0) ++noteOnsAt[e.timeMs];
        if (e.message.kind() == 0x80) ++noteOffs;
    }
    int most = 0;
    std::size_t noteOns = 0;
    for (const auto& [at, count] : noteOnsAt) most = std::max(most, count), noteOns += static_cast<std::size_t>(count);
    reportVoicing(state, pass);
    state.counters["frames"] = static_cast<double>(model.FrameCount);
    state.counters["messages"] = static_cast<double>(pass.messages.size());
    state.counters["note_ons"] = static_cast<double>(noteOns);
    state.counters["note_offs"] = static_cast<double>(noteOffs);
    state.counters["most_note_ons_in_frame"] = most;
    state.counters["file_mb"] = static_cast<double>(bytes) / 1e6;
    // The same messages with a status byte each, as files of one note per cell are written.
    state.counters["plain_mb"] = static_cast<double>(midiFileBytes(pass.messages, pass.lengthMs()).size()) / 1e6;
}
BENCHMARK(BM_LongMidi)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

// Writes the voices plane of `rois` x `frames` as a suite2p folder.
int makeVoicesPlaneMain(const char* folder, const char* roisText, const char* framesText) {
    benchdata::VoicesPlane p;
    p.cells = std::stoi(roisText);
    p.frames = std::stoi(framesText);
    if (!benchdata::writeVoicesPlane(p, folder)) return 1;
    std::printf("%s: %d ROIs x %d frames\n", folder, p.cells, p.frames);
    return 0;
}
