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
// from (j, CellCount - i) to (j, CellCount - i + 1).
// When both canvases are ImageCanvas the result comes from their resting copies
// (one image copy each), rebuilt only after the model, a scale or a size changed;
// any other Canvas receives the calls one by one.
void RedrawViews(const CellModel& model, Canvas& raster, Canvas& cellMap);

// The same picture always drawn call by call through the Canvas interface: the
// reference the cached path must match pixel for pixel.
void RedrawViewsDirect(const CellModel& model, Canvas& raster, Canvas& cellMap);

// Paints the raster's activity marks straight into the image, without clearing:
// the same pixels as the lines RedrawViewsDirect draws, with one table look-up
// per event and one pixel run per (cell, column) hit instead of a line each.
void PaintActivityMarks(const CellModel& model, ImageCanvas& raster);

// A fingerprint of what the resting picture depends on in `model` (counts, the
// storage identity and a sample of the contents); equal models give equal values.
unsigned long long RestingFingerprint(const CellModel& model);

}  // namespace cellsonify
