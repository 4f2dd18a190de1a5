// Drawing costs at the largest recording the model takes: by default 1500
// cells x 100000 frames with sparse events (each cell active in about 0.2 %
// of the frames, a burst of half the cells every 10000 frames), on the raster
// (495 x 170 px) and the cell map (231 x 167 px) at their window sizes.
// CELLSONIFY_BENCH_CELLS and CELLSONIFY_BENCH_FRAMES choose another size
// (e.g. 18000 x 100000).
#include "BenchData.h"
#include "model/CellModel.h"
#include "face/ImageCanvas.h"
#include "face/RasterDensity.h"
#include "face/RasterWindow.h"
#include "face/RedrawViews.h"
#include "face/WindowFace.h"
#include "export/PassPictures.h"
#include "playback/PassSettings.h"
#include "drawing/CellDots.h"
#include "sound/Instruments.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

using namespace cellsonify;

namespace {

int sizeFromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

const CellModel& largestRecording() {
    static const CellModel model = [] {
        const int cells = sizeFromEnvironment("CELLSONIFY_BENCH_CELLS", 1500);
        const int frames = sizeFromEnvironment("CELLSONIFY_BENCH_FRAMES", 100000);
        CellModel m;
        m.CellCount = static_cast<int16_t>(cells);
        m.FrameCount = frames;
        m.FrameRate = 30;
        std::mt19937 rng(5);
        std::uniform_int_distribution<int> frame(1, frames);
        std::uniform_real_distribution<double> u(0, 1);
        ActivityBuilder b;
        m.CellPos.assign(static_cast<std::size_t>(cells) + 1, {});
        for (int c = 1; c <= cells; ++c) {
            b.beginCell(1);
            for (int k = 0; k < frames / 500; ++k) b.addFrame(frame(rng));
            if (c % 2 == 0)
                for (int burst = 5000; burst + 30 <= frames; burst += 10000)
                    for (int f = burst; f < burst + 30; f += 5) b.addFrame(f);
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
    Views() {
        const CellModel& m = largestRecording();
        raster.setScale(rasterwindow::whole(m.FrameCount, m.CellCount));
    }
};


// The raster's resting picture from nothing at the whole recording (a cache
// miss: after a load, a resize or a zoom back out).
void BM_RasterRepaintWhole(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    for (auto _ : state) {
        v.raster.clear();
        PaintActivityDensity(m, v.raster);
        benchmark::DoNotOptimize(v.raster.image().constBits());
    }
    state.counters["events"] = double(m.Activity.eventCount());
}
BENCHMARK(BM_RasterRepaintWhole)->Unit(benchmark::kMillisecond);

// The same on a screen scaled twice (QT_SCALE_FACTOR=2): four times the
// pixels, each mark two device pixels wide.
void BM_RasterRepaintWholeAtRatio2(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    v.raster.resize(2 * v.raster.pixelWidth(), 2 * v.raster.pixelHeight());
    v.raster.setMarkSize(2);
    for (auto _ : state) {
        v.raster.clear();
        PaintActivityDensity(m, v.raster);
        benchmark::DoNotOptimize(v.raster.image().constBits());
    }
}
BENCHMARK(BM_RasterRepaintWholeAtRatio2)->Unit(benchmark::kMillisecond);

// The same for a window of one minute at 30 frames a second in the middle
// of the recording, all rows (argument 0) or a tenth of them (1): what each
// wheel notch or drag step draws.
void BM_RasterRepaintZoomed(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    const double rows = state.range(0) ? m.CellCount / 10.0 : m.CellCount;
    v.raster.setScale({m.FrameCount / 2.0, 0, 1800, rows});
    for (auto _ : state) {
        v.raster.clear();
        PaintActivityDensity(m, v.raster);
        benchmark::DoNotOptimize(v.raster.image().constBits());
    }
}
BENCHMARK(BM_RasterRepaintZoomed)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// RedrawViews once both resting pictures are kept (Play, Stop, Back, seeks, speed typing).
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

// The cell map from nothing: a dot per cell.
void BM_CellMapBuild(benchmark::State& state) {
    const CellModel& m = largestRecording();
    Views v;
    const float radius = cellDotRadius(m.CellCount);
    for (auto _ : state) {
        v.map.clear();
        v.map.setFillColour(7);
        v.map.setForeColour(7);
        for (int i = 1; i <= m.CellCount; ++i) v.map.circle(float(m.CellPos[i].X), float(m.CellPos[i].Y), radius);
        benchmark::DoNotOptimize(v.map.image().constBits());
    }
}
BENCHMARK(BM_CellMapBuild)->Unit(benchmark::kMillisecond);

// The first picture after a load: the face shows the recording (raster,
// map, captions, cursors) and is painted whole.
void BM_FirstPictureAfterLoad(benchmark::State& state) {
    benchdata::ensureGuiApplication();
    const CellModel& m = largestRecording();
    QImage picture(WindowFace().size(), QImage::Format_RGB32);  // no context: no strips
    for (auto _ : state) {
        WindowFace face;
        face.showLoadedRecording(m);
        face.paint(picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_FirstPictureAfterLoad)->Unit(benchmark::kMillisecond);

// One playback tick on the face (notes, marks, dots, keys, cursors) with
// the raster on a one-minute window that pages along as the cursor leaves it;
// the picture itself is not painted.
void BM_PlaybackTickZoomed(benchmark::State& state) {
    benchdata::ensureGuiApplication();
    const CellModel& m = largestRecording();
    PassSettings pass;
    pass.setSpeedText("33");
    PassPictures pictures(m, pass);
    pictures.showRasterWindow({0, 0, 1800, double(m.CellCount)});
    pictures.play();
    for (auto _ : state) pictures.tick();
}
BENCHMARK(BM_PlaybackTickZoomed)->Unit(benchmark::kMicrosecond);

}  // namespace
