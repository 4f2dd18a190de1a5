#pragma once

#include <QLineF>
#include <QRect>

namespace cellsonify {

// The window layout is kept in twips; 15 twips make one pixel at 96 dpi and Qt
// scales pixels on denser screens.
inline constexpr double kTwipsPerPixel = 15.0;

// Nearest whole pixel of a twips length or position (halves away from zero).
constexpr int twipsToPixels(int twips) {
    return twips >= 0 ? (2 * twips + 15) / 30 : -((-2 * twips + 15) / 30);
}

// A control's rectangle (left, top, width, height in twips) in pixels.
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// A line between two twips points, in unrounded pixels.
inline QLineF twipsLine(double x1, double y1, double x2, double y2) {
    return QLineF(x1 / kTwipsPerPixel, y1 / kTwipsPerPixel, x2 / kTwipsPerPixel, y2 / kTwipsPerPixel);
}

}  // namespace cellsonify
