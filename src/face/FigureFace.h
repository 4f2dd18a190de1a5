#pragma once

#include "face/FaceViews.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace cellsonify {

struct FaceControls;

// A figure of a recording for a paper or a talk: the window's raster, cell
// map and keyboard views, painted as the window paints them, the raster's
// axis numbers beside it, the recording's name and a time counter above, on
// white; no controls. Laid out in pixels at zoom 1, as the window's face is.

// What the figure says besides the views.
struct FigureText {
    QString name;     // the recording's name
    QString counter;  // where playback is: "Frame 40 of 2000   2.00 s"
};

// Where each part lies in the figure.
struct FigurePlaces {
    QRect name, counter;            // the header's two captions
    QRect raster, cellMap, keyboard;  // the views, each its box size (border included)
};
FigurePlaces figurePlaces();
QSize figureSize();

// Paints the figure of `views` over `picture` (figureSize(), RGB32), the
// raster's axis numbers taken from `axes` (as the window's face shows them).
void paintFigure(QImage& picture, const FaceViews& views, const FaceControls& axes, const FigureText& text);

// The counter's text: the frame playback has lit (0 at rest) of `frameCount`,
// and its time in seconds.
QString figureCounter(long long frame, long long frameCount, double seconds);

}  // namespace cellsonify
