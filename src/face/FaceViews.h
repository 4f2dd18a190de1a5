#pragma once

#include "face/UserScale.h"

#include <QString>

#include <vector>

namespace cellsonify {

class StripView;
class ViewBox;
struct CellModel;

// A strip's painter and the box it is shown in (see FaceStrips.h).
struct StripBox {
    const StripView& view;
    ViewBox& box;
};

// The window's four drawing views, wherever they live (inside the window's
// widgets or in a widget-free face): how they start and how they show a
// recording, done in one place for both.
struct FaceViews {
    ViewBox& raster;      // frames across, cells down
    ViewBox& frameStrip;  // the frame strip with its cursor
    ViewBox& cellMap;     // a dot per cell
    ViewBox& keyboard;    // 128 keys with separator lines
    std::vector<StripBox> strips;  // faceStrips() in order, shown or not
};

// Start scale of the raster: 1 horizontal unit = 13775.5107 twips, 1 vertical unit = 9107.1426 twips.
inline constexpr double kRasterStartScaleWidth = 7425.0 / 13775.5107;
inline constexpr double kRasterStartScaleHeight = 2550.0 / 9107.1426;
// Start scale of the frame strip: twips.
inline constexpr double kFrameStripStartScaleWidth = 7425.0;
inline constexpr double kFrameStripScaleHeight = 105.0;

// Names of the overlay lines.
inline const QString kFrameStripCursor = QStringLiteral("FF_line");
inline const QString kRasterBottomCursor = QStringLiteral("FF_line1");
inline const QString kRasterTopCursor = QStringLiteral("FF_line2");
inline const QString kScanLine = QStringLiteral("ScanLine");
inline const QString kStripCursor = QStringLiteral("StripCursor");
// Key separators are "KeyLine1".."KeyLine74".
inline constexpr int kKeySeparators = 74;

// Gives views already sized at their layout rectangles their start scales and
// overlay lines (the cursors out of sight, the key separators, a cursor on each strip).
void setUpFaceViews(const FaceViews& views);

// The raster's and frame strip's scales of `model`, its resting views and
// strips, and the cursors at its play position.
void showRecordingOnViews(const FaceViews& views, const CellModel& model);

// Paints every strip of `model` over the frames the raster shows.
void paintStrips(const FaceViews& views, const CellModel& model);

// Moves the frame cursors (raster, frame strip, strips) to `frame` in their views' current units.
void moveFrameCursors(const FaceViews& views, double frame);

// Shows `window` (see RasterWindow.h) of `model` on the raster: its scale, its
// resting picture, the strips over the same frames, and the cursors at the play position.
void showRasterWindow(const FaceViews& views, const CellModel& model, const UserScale& window);

// When `frame` lies outside the part of `model` the raster shows, moves the
// window on to it (rasterwindow::following) and shows it; true if it moved.
bool followFrame(const FaceViews& views, const CellModel& model, double frame);

}  // namespace cellsonify
