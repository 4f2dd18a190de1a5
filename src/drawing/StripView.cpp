#include "drawing/StripView.h"

#include "model/CellModel.h"

#include <cstdio>

namespace cellsonify {

std::string frameSecondsText(const CellModel& model, long long frame) {
    double seconds = 0;
    const FrameClock& clock = model.Context.clock;
    if (clock.known() && frame >= 1 && frame <= clock.frames()) seconds = clock.startOf(static_cast<int32_t>(frame));
    else if (model.FrameRate > 0) seconds = static_cast<double>(frame - 1) / model.FrameRate;
    else return {};
    char text[48];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

}  // namespace cellsonify
