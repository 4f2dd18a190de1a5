#pragma once

namespace cellsonify {

class Canvas;
class ImageCanvas;
struct CellModel;

// The resting picture of the recording: clears the raster, then the cell map;
// sets the map's fill and fore colour to light grey (and leaves them so); then
// for each cell i = 1..CellCount a dot (cellDotRadius) at its position on the map and, for each
// frame j in 1..FrameCount the cell is active in, a light blue line on the raster
// from (j, CellCount - r) to (j, CellCount - r + 1), r the cell's place in the
// model's row order (r = i in file order).
// Any Canvas receives the calls one by one (RedrawViewsDirect).
void RedrawViews(const CellModel& model, Canvas& raster, Canvas& cellMap);

// The same picture on image canvases, from their resting copies (one image
// copy each), rebuilt only after the model's revision, a scale, a size or the
// background changed. The raster's marks are shaded by how much of each
// pixel's block is active (PaintActivityDensity): where every block holds at
// most kFullBlueBlock cell-frames, pixel for pixel what the calls would draw.
void RedrawViews(const CellModel& model, ImageCanvas& raster, ImageCanvas& cellMap);

// The same picture always drawn call by call through the Canvas interface,
// every mark in full blue: the reference the cached path lights the same
// pixels as (in shades where blocks are shared).
void RedrawViewsDirect(const CellModel& model, Canvas& raster, Canvas& cellMap);

}  // namespace cellsonify
