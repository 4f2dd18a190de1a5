#include "model/EventStrengths.h"

#include "model/ActivityTable.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

double EventStrengths::of(const ActivityTable& activity, int cell, long long frame) const {
    const std::ptrdiff_t i = activity.eventIndex(cell, frame);
    if (i < 0 || static_cast<std::size_t>(i) >= peakZ.size()) return NAN;
    return peakZ[static_cast<std::size_t>(i)];
}

int strengthVelocity(double peak, double k) {
    if (!(k > 0) || !std::isfinite(peak)) return 127;
    const double share = std::clamp((peak - k) / (2 * k), 0.0, 1.0);
    return static_cast<int>(std::lround(40 + 87 * share));
}

}  // namespace cellsonify
