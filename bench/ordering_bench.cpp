// Row orders at the largest recording the loader takes: 1500 cells x 100000
// frames, each cell active in about 5 % of the frames (about 7.5 million
// events). Target: the similarity order under 1 s.
#include "model/CellModel.h"
#include "model/CellOrdering.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace cellsonify;

namespace {

// Independent cells (the case where the top eigenvalues lie closest, so the
// iteration runs longest), or ten groups of 150 that fire together.
CellModel largeRecording(bool grouped) {
    CellModel m;
    m.CellCount = 1500;
    m.FrameCount = 100000;
    std::mt19937 rng(7);
    std::bernoulli_distribution active(0.05), groupFires(0.05), joins(0.7), alone(0.015);
    std::vector<std::vector<bool>> groupFrames(10, std::vector<bool>(100001));
    for (auto& g : groupFrames)
        for (int f = 1; f <= 100000; ++f) g[f] = groupFires(rng);
    ActivityBuilder b;
    m.CellPos.assign(1501, {});
    for (int c = 1; c <= 1500; ++c) {
        b.beginCell(1);
        const auto& g = groupFrames[(c * 7) % 10];
        for (int f = 1; f <= 100000; ++f)
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
