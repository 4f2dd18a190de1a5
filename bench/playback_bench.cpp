// Cost of one playback tick at full size (1500 cells, 5 % activity): the
// tick must follow the events of two frames, not the number of cells or frames.

#include "playback_bench_support.h"

#include "playback/PlaybackSteps.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"
#include "face/ImageCanvas.h"
#include "drawing/KeyGeometry.h"

#include <benchmark/benchmark.h>

using namespace cellsonify;
using namespace playbackbench;

namespace {

constexpr int kCells = 1500;

// Ticks through the recording, wrapping to frame 0 before the end so every
// timed tick is an ordinary one.
void runTicks(benchmark::State& state, CellModel& model, PlaybackHost& host) {
    KeyRect keys;
    keys.fill();
    model.CurrentFrame = 0;
    const VoiceTable voices = voiceTable(model, PitchMapping{});
    const double lastOrdinary = model.FrameCount - 2.0;
    long long events = 0;
    for (auto _ : state) {
        StepFrame(model, keys, host, voices);
        if (model.CurrentFrame >= lastOrdinary) model.CurrentFrame = 0;
        events += static_cast<long long>(model.Activity.cellsIn(static_cast<long long>(model.CurrentFrame)).size());
    }
    state.counters["cells_per_frame"] = benchmark::Counter(static_cast<double>(events) / state.iterations());
}

void BM_PlaybackTick(benchmark::State& state) {
    CellModel model = recording(kCells, static_cast<int>(state.range(0)));
    NullCanvas canvas;
    BenchHost host(canvas, canvas, canvas);
    runTicks(state, model, host);
}
BENCHMARK(BM_PlaybackTick)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same into real images the size of the views (raster 1200 x 600 showing
// every frame, map 500 x 500, keyboard 1200 x 60).
void BM_PlaybackTickIntoImages(benchmark::State& state) {
    CellModel model = recording(kCells, static_cast<int>(state.range(0)));
    // The window's client areas: raster 495 x 170, cell map 231 x 167, keyboard 507 x 15.
    ImageCanvas raster(495, 170), map(231, 167), keyboard(507, 15);
    raster.setScale({0, 0, static_cast<double>(model.FrameCount), static_cast<double>(model.CellCount)});
    map.setScale({0, 0, 1, 1});
    keyboard.setScale({0, 0, kKeyboardScaleWidth, kKeyboardScaleHeight});
    BenchHost host(raster, map, keyboard);
    runTicks(state, model, host);
}
BENCHMARK(BM_PlaybackTickIntoImages)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
