#include "face/UserScale.h"

#include <cmath>

namespace cellsonify {

namespace {
constexpr double kFar = 268435456.0;  // 2^28: beyond any image, small enough to multiply
}

long long userToPixel(float v, double origin, double extent, int pixels) {
    const double p = std::floor((static_cast<double>(v) - origin) * (pixels / extent));
    if (std::isnan(p)) return static_cast<long long>(-kFar);
    if (p < -kFar) return static_cast<long long>(-kFar);
    if (p > kFar) return static_cast<long long>(kFar);
    return static_cast<long long>(p);
}

double pixelToUser(double p, double origin, double extent, int pixels) {
    return pixels > 0 ? origin + p * extent / pixels : origin;
}

}  // namespace cellsonify
