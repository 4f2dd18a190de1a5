#include "playback/RealTimeSpeed.h"

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace cellsonify {

std::optional<int> realTimeInterval(double framesPerSecond, double times) {
    if (!(framesPerSecond > 0) || !(times > 0) || !std::isfinite(framesPerSecond * times)) return std::nullopt;
    const double ms = std::round(1000.0 / (framesPerSecond * times));
    if (!(ms < 2e9)) return std::nullopt;
    return std::max(1, static_cast<int>(ms));
}

std::string resolveSpeedText(const std::string& request, double framesPerSecond) {
    double times = 0;
    if (request == "realtime") {
        times = 1;
    } else if (request.size() >= 2 && (request[0] == 'x' || request[0] == 'X')) {
        const char* digits = request.c_str() + 1;
        char* end = nullptr;
        times = std::strtod(digits, &end);
        if (end == digits || *end != '\0' || !(times > 0) || !std::isfinite(times))
            throw std::invalid_argument("speed \"" + request + "\": x must be followed by a positive number, as x4");
    } else {
        return request;
    }
    const std::optional<int> ms = realTimeInterval(framesPerSecond, times);
    if (!ms)
        throw std::invalid_argument("speed \"" + request +
                                    "\" needs the recording's frame rate, and this recording does not state one; "
                                    "give milliseconds per frame instead");
    return std::to_string(*ms);
}

}  // namespace cellsonify
