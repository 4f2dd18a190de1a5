#pragma once

#include "face/UserScale.h"

#include <QString>

namespace cellsonify {

struct CellModel;

// The part of a recording the raster shows, as the raster's user scale:
// frames left .. left + width across, raster rows top .. top + height down
// (row place p spans cellCount - p .. cellCount - p + 1). Every function
// keeps the window inside the recording and at least a few frames and one
// row wide; the whole recording is {0, 0, frameCount, cellCount}.
namespace rasterwindow {

// Fewest frames a window spans (or the whole recording, when shorter).
inline constexpr double kMinFrames = 10;

UserScale whole(int frameCount, int cellCount);
bool isWhole(const UserScale& window, int frameCount, int cellCount);
// Narrower by `factor` across (> 1 zooms in, < 1 out), the frame at user x `anchor` staying where it is.
UserScale zoomFrames(const UserScale& window, double factor, double anchor, int frameCount);
// Fewer rows by `factor` (> 1 zooms in), the user y `anchor` staying where it is.
UserScale zoomRows(const UserScale& window, double factor, double anchor, int cellCount);
// Moved by `frames` across and `rows` down, stopping at the recording's edges.
UserScale scrolled(const UserScale& window, double frames, double rows, int frameCount, int cellCount);
// Unchanged while `frame` lies inside the window; otherwise moved (its width
// kept) so that `frame` lies a tenth of the width from its left edge, as a
// page turns while playback runs on.
UserScale following(const UserScale& window, double frame, int frameCount);

}  // namespace rasterwindow

// The four axis captions of the raster for a window onto `model`.
struct RasterAxisLabels {
    QString firstFrame;  // left end of the frame axis
    QString lastFrame;   // right end
    QString bottomRow;   // foot of the cell axis
    QString topRow;      // head of the cell axis
};

// For the whole recording the captions as they always were ("0", the frame
// count, " 1", the cell count); for a part of it the first and last frame and
// row in sight, each frame followed by its time in seconds when the frame
// rate is known ("1200 (40.0 s)").
RasterAxisLabels rasterAxisLabels(const CellModel& model, const UserScale& window);

}  // namespace cellsonify
