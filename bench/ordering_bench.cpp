// Row orders at the largest recording the loader takes: 1500 cells x 100000
// frames, each cell active in about 5 % of the frames (about 7.5 million
// events). Target: the similarity order under 1 s. CELLSONIFY_BENCH_CELLS,
// CELLSONIFY_BENCH_FRAMES and CELLSONIFY_BENCH_ACTIVITY (the share of frames a
// cell is active in, scaling the group rates alike) set another size, such as
// an import of 20000 x 100000 at 0.002.
#include "model/CellModel.h"
#include "model/CellOrdering.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

using namespace cellsonify;

namespace {

// Independent cells (the case where the top eigenvalues lie closest, so the
// iteration runs longest), or ten groups of 150 that fire together.
double sizeFromEnvironment(const char* name, double otherwise) {
    const char* text = std::getenv(name);
    return text ? std::atof(text) : otherwise;
}

CellModel largeRecording(bool grouped) {
    const int cells = static_cast<int>(sizeFromEnvironment("CELLSONIFY_BENCH_CELLS", 1500));
    const int frames = static_cast<int>(sizeFromEnvironment("CELLSONIFY_BENCH_FRAMES", 100000));
    const double rate = sizeFromEnvironment("CELLSONIFY_BENCH_ACTIVITY", 0.05);
    CellModel m;
    m.CellCount = cells;
    m.FrameCount = frames;
    std::mt19937 rng(7);
    std::bernoulli_distribution active(rate), groupFires(rate), joins(0.7), alone(rate * 0.3);
    std::vector<std::vector<bool>> groupFrames(10, std::vector<bool>(frames + 1));
    for (auto& g : groupFrames)
        for (int f = 1; f <= frames; ++f) g[f] = groupFires(rng);
    ActivityBuilder b;
    m.CellPos.assign(cells + 1, {});
    for (int c = 1; c <= cells; ++c) {
        b.beginCell(1);
        const auto& g = groupFrames[(c * 7) % 10];
        for (int f = 1; f <= frames; ++f)
            if (grouped ? (g[f] && joins(rng)) || alone(rng) : active(rng)) b.addFrame(f);
    }
    m.Activity = b.finish();
    return m;
}

void BM_SimilarityOrder(benchmark::State& state) {
    const CellModel m = largeRecording(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(orderRows(m, RowOrderKind::Similarity));
    state.counters["events"] = double(m.Activity.eventCount());
}
BENCHMARK(BM_SimilarityOrder)->Arg(0)->Arg(1)->ArgName("grouped")->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ActivityOrder(benchmark::State& state) {
    const CellModel m = largeRecording(false);
    for (auto _ : state) benchmark::DoNotOptimize(orderRows(m, RowOrderKind::Activity));
}
BENCHMARK(BM_ActivityOrder)->Unit(benchmark::kMillisecond);

}  // namespace
