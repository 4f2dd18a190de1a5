#pragma once

namespace cellsonify {

class Canvas;
class ImageCanvas;
struct CellModel;

// Radius of a cell's dot on the cell map, in map units.
inline constexpr float kCellDotRadius = 0.01f;

// The resting picture of the recording: clears the raster, then the cell map;
// sets the map's fill and fore colour to light grey (and leaves them so); then
// for each cell i = 1..CellCount a dot at its position on the map and, for each
// frame j in 1..FrameCount the cell is active in, a light blue line on the raster
// from (j, CellCount - r) to (j, CellCount - r + 1), r the cell's place in the
// model's row order (r = i in file order).
// Any Canvas receives the calls one by one (RedrawViewsDirect).
void RedrawViews(const CellModel& model, Canvas& raster, Canvas& cellMap);

// The same picture on image canvases, from their resting copies (one image
// copy each), rebuilt only after the model's revision, a scale, a size or the
// background changed; pixel for pixel what the calls would draw.
void RedrawViews(const CellModel& model, ImageCanvas& raster, ImageCanvas& cellMap);

// The same picture always drawn call by call through the Canvas interface: the
// reference the cached path must match pixel for pixel.
void RedrawViewsDirect(const CellModel& model, Canvas& raster, Canvas& cellMap);

// Paints the raster's activity marks straight into the image, without clearing:
// the same pixels as the lines RedrawViewsDirect draws, with one table look-up
// per event and one pixel run per (cell, column) hit instead of a line each.
void PaintActivityMarks(const CellModel& model, ImageCanvas& raster);

}  // namespace cellsonify
