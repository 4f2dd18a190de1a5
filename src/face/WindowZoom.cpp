#include "face/WindowZoom.h"

#include <cmath>

namespace cellsonify {

double zoomForScreen(double logicalDpi, QSize layoutSize, QSize available) {
    // A little slack so a screen at 100.8 dpi or 145 dpi gets the step it is
    // meant for, not the one below.
    const double wanted = (logicalDpi > 0 ? logicalDpi : 96.0) / 96.0 * 1.05;
    double chosen = kZoomSteps.front();
    for (double step : kZoomSteps) {
        const bool fits = available.isEmpty() || (layoutSize.width() * step <= available.width() &&
                                                  layoutSize.height() * step <= available.height());
        if (step <= wanted && fits) chosen = step;
    }
    return chosen;
}

double nextZoom(double zoom, int direction) {
    if (direction > 0) {
        for (double step : kZoomSteps)
            if (step > zoom + 1e-9) return step;
        return kZoomSteps.back();
    }
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < zoom - 1e-9) return *it;
    return kZoomSteps.front();
}

double largestZoomThatFits(QSize wholeAt100, QSize frame, QSize room) {
    if (room.isEmpty()) return kZoomSteps.back();
    double chosen = kZoomSteps.front();
    for (double step : kZoomSteps)
        if (wholeAt100.width() * step + frame.width() <= room.width() &&
            wholeAt100.height() * step + frame.height() <= room.height())
            chosen = step;
    return chosen;
}

double nearestZoom(double zoom) {
    double best = kZoomSteps.front();
    for (double step : kZoomSteps)
        if (std::fabs(step - zoom) < std::fabs(best - zoom)) best = step;
    return best;
}

}  // namespace cellsonify
