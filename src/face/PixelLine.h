#pragma once

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace cellsonify {

// Calls plot(x, y) for each pixel of the segment from (x0, y0) to (x1, y1),
// both ends included, restricted to 0 <= x < width, 0 <= y < height. Each pixel
// along the major axis gets the minor coordinate rounded from the exact slope,
// so clipping never shifts a pixel: the same segment always lights the same set.
// Coordinates must lie within +-2^28 (as userToPixel returns them).
template <class Plot>
void rasteriseLine(long long x0, long long y0, long long x1, long long y1, int width, int height,
                   Plot&& plot) {
    const bool steep = std::llabs(y1 - y0) > std::llabs(x1 - x0);
    int majorLimit = width, minorLimit = height;
    if (steep) {
        std::swap(x0, y0);
        std::swap(x1, y1);
        std::swap(majorLimit, minorLimit);
    }
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const long long dx = x1 - x0, dy = y1 - y0;
    const long long from = std::max<long long>(x0, 0);
    const long long to = std::min<long long>(x1, majorLimit - 1);
    for (long long m = from; m <= to; ++m) {
        long long minor = y0;
        if (dx != 0) {
            // round((m - x0) * dy / dx), halves upwards, with floor division
            const long long num = 2 * (m - x0) * dy + dx;
            const long long den = 2 * dx;
            long long q = num / den;
            if ((num % den != 0) && ((num < 0) != (den < 0))) --q;
            minor = y0 + q;
        }
        if (minor < 0 || minor >= minorLimit) continue;
        if (steep)
            plot(static_cast<int>(minor), static_cast<int>(m));
        else
            plot(static_cast<int>(m), static_cast<int>(minor));
    }
}

}  // namespace cellsonify
