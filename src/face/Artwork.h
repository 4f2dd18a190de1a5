#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QPainter;

namespace cellsonify {

// Pictures the window shows, drawn in code so they look the same everywhere.
// Sizes are in layout pixels; `scale` draws a picture afresh at that many
// device pixels per layout pixel (the window's zoom), never a stretched copy.

// 33 x 33, shades of grey: a bar with a triangle pointing left (back to the start).
QPixmap backButtonArt(double scale = 1.0);
// 33 x 33, teal: a triangle pointing right (play).
QPixmap playButtonArt(double scale = 1.0);
// 33 x 33, red: a square (stop).
QPixmap stopButtonArt(double scale = 1.0);
// 14 x 32: an upward arrow beside the words "Cell #", the raster's vertical axis.
QPixmap cellAxisArt(double scale = 1.0);
// 41 x 23, the window's grey: the picture in the window's top-left corner.
QImage windowPicture();
// 32 x 32: the window icon (a dotted raster over keys).
QIcon appIcon();
// Paints the window's own background at `zoom`: the corner picture and the
// axis tick lines, these moved `axisDownTwips` down (by strips above the raster).
void paintFormBackdrop(QPainter& painter, double zoom = 1.0, int axisDownTwips = 0);

}  // namespace cellsonify
