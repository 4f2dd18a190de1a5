#pragma once

#include <QSize>

#include <array>

namespace cellsonify {

// The sizes View > Zoom offers, as factors of the layout's own size.
inline constexpr std::array<double, 4> kZoomSteps{1.0, 1.5, 2.0, 3.0};

// The largest step a screen of `logicalDpi` dots per inch asks for (96 is the
// layout's own 100 %; 144 gives 150 %), made smaller until a window of
// `layoutSize` times the step fits in `available` (when it is not empty).
double zoomForScreen(double logicalDpi, QSize layoutSize, QSize available);

// The step after `zoom` going up (`direction` > 0) or down; the end steps stay.
// A zoom between steps goes to the nearest step that way.
double nextZoom(double zoom, int direction);

// The largest step at which a window of `wholeAt100` (every part of it zoomed
// with the step) and a frame of `frame` fits in `room`; the first step when
// none does; the last when `room` is empty.
double largestZoomThatFits(QSize wholeAt100, QSize frame, QSize room);

// The step nearest to `zoom` (a kept value that is not a step any more).
double nearestZoom(double zoom);

}  // namespace cellsonify
