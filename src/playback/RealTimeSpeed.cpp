#include "playback/RealTimeSpeed.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace cellsonify {

std::optional<int> realTimeInterval(double framesPerSecond, double times) {
    if (!(framesPerSecond > 0) || !(times > 0) || !std::isfinite(framesPerSecond * times)) return std::nullopt;
    const double ms = std::round(1000.0 / (framesPerSecond * times));
    if (!(ms < 2e9)) return std::nullopt;
    return std::max(1, static_cast<int>(ms));
}

std::optional<double> recordingTimeFactor(const std::string& request) {
    if (request == "realtime") return 1.0;
    if (request.size() < 2 || (request[0] != 'x' && request[0] != 'X')) return std::nullopt;
    const char* digits = request.c_str() + 1;
    char* end = nullptr;
    const double times = std::strtod(digits, &end);
    if (end == digits || *end != '\0' || !(times > 0) || !std::isfinite(times))
        throw std::invalid_argument("speed \"" + request + "\": x must be followed by a positive number, as x4");
    return times;
}

std::string resolveSpeedText(const std::string& request, double framesPerSecond) {
    const std::optional<double> factor = recordingTimeFactor(request);
    if (!factor) return request;
    const double times = *factor;
    const std::optional<int> ms = realTimeInterval(framesPerSecond, times);
    if (!ms && framesPerSecond > 0 && std::isfinite(framesPerSecond)) {
        // The rate is stated; it is the interval it gives that cannot be played.
        char rate[32], interval[32];
        std::snprintf(rate, sizeof rate, "%g", framesPerSecond);
        std::snprintf(interval, sizeof interval, "%g", 1000.0 / (framesPerSecond * times));
        throw std::invalid_argument("speed \"" + request + "\" at this recording's frame rate of " + rate +
                                    " frames per second asks for a frame every " + interval +
                                    " ms, which is out of range (1 ms to about 23 days); give milliseconds per "
                                    "frame instead");
    }
    if (!ms)
        throw std::invalid_argument("speed \"" + request +
                                    "\" needs the recording's frame rate, and this recording does not state one; "
                                    "give milliseconds per frame instead");
    return std::to_string(*ms);
}

}  // namespace cellsonify
