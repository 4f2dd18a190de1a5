#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

class QPainter;

namespace cellsonify {

// Pictures the window shows, drawn in code so they look the same everywhere.

// 33 x 33, shades of grey: a bar with a triangle pointing left (back to the start).
QPixmap backButtonArt();
// 33 x 33, teal: a triangle pointing right (play).
QPixmap playButtonArt();
// 33 x 33, red: a square (stop).
QPixmap stopButtonArt();
// 14 x 32: an upward arrow beside the words "Cell #", the raster's vertical axis.
QPixmap cellAxisArt();
// 41 x 23: the small picture in the window's top-left corner.
QImage windowPicture();
// 32 x 32: the window icon (a dotted raster over keys).
QIcon appIcon();
// Paints the window's own background: the corner picture and the axis tick lines.
void paintFormBackdrop(QPainter& painter);

}  // namespace cellsonify
