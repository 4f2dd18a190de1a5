// Drawing costs at the largest recording the loader takes: 1500 cells x
// 100000 frames, each cell active in about 5 % of the frames, on the raster
// (495 x 170 px) and the cell map (231 x 167 px) at their window sizes.
#include "model/CellModel.h"
#include "face/ImageCanvas.h"
#include "face/RedrawViews.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace cellsonify;

namespace {

const CellModel& largestRecording() {
    static const CellModel model = [] {
        CellModel m;
        m.CellCount = 1500;
        m.FrameCount = 100000;
        std::mt19937 rng(5);
        std::bernoulli_distribution active(0.05);
        std::uniform_real_distribution<double> u(0, 1);
        ActivityBuilder b;
        m.CellPos.assign(1501, {});
        for (int c = 1; c <= 1500; ++c) {
            b.beginCell(1);
            for (int f = 1; f <= 100000; ++f)
                if (active(rng)) b.addFrame(f);
            m.CellPos[c] = {u(rng), u(rng)};
        }
        m.Activity = b.finish();
        return m;
    }();
    return model;
}

struct Views {
    ImageCanvas raster{495, 170};
    ImageCanvas map{231, 167};
    Views() { raster.setScale({0, 0, 100000, 1500}); }
};

// The resting raster from nothing: clear plus every mark (a cache miss).
void BM_RestingRasterBuild(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    for (auto _ : state) {
        v.raster.clear();
        PaintActivityMarks(m, v.raster);
        benchmark::DoNotOptimize(v.raster.image().constBits());
    }
    state.counters["events"] = double(m.Activity.eventCount());
}
BENCHMARK(BM_RestingRasterBuild)->Unit(benchmark::kMillisecond);

// The cell map from nothing: 1500 dots.
void BM_CellMapBuild(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    for (auto _ : state) {
        v.map.clear();
        v.map.setFillColour(7);
        v.map.setForeColour(7);
        for (int i = 1; i <= m.CellCount; ++i)
            v.map.circle(float(m.CellPos[i].X), float(m.CellPos[i].Y), kCellDotRadius);
        benchmark::DoNotOptimize(v.map.image().constBits());
    }
}
BENCHMARK(BM_CellMapBuild)->Unit(benchmark::kMillisecond);

// RedrawViews once both resting pictures are cached (Play, Stop, Back, seeks, speed typing).
void BM_RedrawViewsCached(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    RedrawViews(m, v.raster, v.map);
    for (auto _ : state) {
        RedrawViews(m, v.raster, v.map);
        benchmark::DoNotOptimize(v.raster.image().constBits());
    }
}
BENCHMARK(BM_RedrawViewsCached)->Unit(benchmark::kMicrosecond);

// The first RedrawViews after a load: both pictures built and kept.
void BM_RedrawViewsAfterLoad(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    for (auto _ : state) {
        v.raster.dropResting();
        v.map.dropResting();
        RedrawViews(m, v.raster, v.map);
    }
}
BENCHMARK(BM_RedrawViewsAfterLoad)->Unit(benchmark::kMillisecond);

}  // namespace
