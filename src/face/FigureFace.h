#pragma once

#include "face/FaceStrips.h"
#include "face/FaceViews.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace cellsonify {

struct FaceControls;

// A figure of a recording for a paper or a talk: the window's raster, cell
// map and keyboard views, painted as the window paints them, the raster's
// axis numbers beside it, the recording's name and a time counter above, on
// white; no controls. The strips the recording shows (trials, behaviour) lie
// beside the raster as in the window, those above it above and the others
// under it, over the same frames and with the same cursor. Laid out in pixels
// at zoom 1, as the window's face is; without strips the figure is as it was
// before strips existed.

// What the figure says besides the views.
struct FigureText {
    QString name;     // the recording's name
    QString counter;  // where playback is: "Frame 40 of 2000   2.00 s"
};

// Where each part lies in the figure.
struct FigurePlaces {
    QRect name, counter;            // the header's two captions
    QRect raster, cellMap, keyboard;  // the views, each its box size (border included)
    std::vector<QRect> strips;      // faceStrips() in order, each its box size; empty where not shown
    QRect frameAxis;                // the raster's frame numbers, under it and the strips under it
};
// The places with the strips `shown` (faceStrips() order).
FigurePlaces figurePlaces(const StripsShown& shown);
QSize figureSize(const StripsShown& shown);

// Paints the figure of `views` with the strips `shown` over `picture`
// (figureSize(shown), RGB32), the raster's axis numbers taken from `axes` (as
// the window's face shows them).
void paintFigure(QImage& picture, const FaceViews& views, const StripsShown& shown, const FaceControls& axes,
                 const FigureText& text);

// The counter's text: the frame playback has lit (0 at rest) of `frameCount`,
// and its time in seconds.
QString figureCounter(long long frame, long long frameCount, double seconds);

}  // namespace cellsonify
