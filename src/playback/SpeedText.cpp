#include "playback/SpeedText.h"

#include "playback/NumberText.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace cellsonify {

int trailLengthFor(std::string_view speedText) {
    double trail = 0;  // stays below the shortest trail unless the speed says otherwise
    const std::optional<int32_t> whole = parseInt32(speedText);
    if (whole && *whole != 0) {
        // The whole-number check only gates; the division uses the exact text,
        // so "301" gives floor(0.997) = 0 and ends up at the shortest trail.
        if (const std::optional<double> speed = parseNumber(speedText)) trail = std::floor(300.0 / *speed);
    }
    // Clamping in double first keeps the conversion defined for any quotient.
    if (!(trail >= kShortestTrail)) return kShortestTrail;
    if (trail > kLongestTrail) return kLongestTrail;
    return static_cast<int>(trail);
}

bool timerAccepts(long long intervalMs) {
    return intervalMs >= 0 && intervalMs <= std::numeric_limits<int32_t>::max();
}

std::optional<int> timerIntervalFor(std::string_view speedText) {
    const std::optional<int32_t> ms = parseInt32(speedText);
    if (!ms || !timerAccepts(*ms)) return std::nullopt;
    return *ms;
}

}  // namespace cellsonify
