#include "playback/PositionText.h"

#include "model/CellModel.h"
#include "model/TrialSteps.h"
#include "playback/FrameCells.h"

#include <algorithm>
#include <cstdio>

namespace cellsonify {

std::string positionText(const CellModel& model) {
    const long long frame = std::max(0LL, nearestFrame(model.CurrentFrame));
    std::string text = "Frame " + std::to_string(frame) + " of " + std::to_string(model.FrameCount);
    if (model.FrameRate > 0) {
        char seconds[48];
        std::snprintf(seconds, sizeof seconds, ", %.2f s", std::max(0.0, model.CurrentFrame) / model.FrameRate);
        text += seconds;
    }
    // With trials (or any intervals), the one playing and its group.
    if (const IntervalTable* trials = model.Context.trials())
        if (const std::string trial = intervalText(*trials, model.CurrentFrame); !trial.empty()) text += ", " + trial;
    return text;
}

}  // namespace cellsonify
