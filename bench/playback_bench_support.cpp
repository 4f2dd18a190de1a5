#include "playback_bench_support.h"

#include <map>
#include <random>
#include <utility>

namespace playbackbench {

using namespace cellsonify;

const CellModel& recording(int cells, int frames) {
    static std::map<std::pair<int, int>, CellModel> built;
    auto found = built.find({cells, frames});
    if (found != built.end()) return found->second;

    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Gaps between a cell's active frames averaging 20 frames give 5 % activity.
    std::geometric_distribution<int> gap(0.05);
    CellModel model;
    ActivityBuilder builder;
    for (int c = 1; c <= cells; ++c) {
        builder.beginCell(1);
        for (long long f = 1 + gap(rng); f <= frames; f += 1 + gap(rng)) builder.addFrame(static_cast<int32_t>(f));
        model.CellPos.push_back({unit(rng), unit(rng)});
    }
    model.Activity = builder.finish();
    model.CellCount = static_cast<int16_t>(cells);
    model.FrameCount = frames;
    return built.emplace(std::make_pair(cells, frames), std::move(model)).first->second;
}

}  // namespace playbackbench
