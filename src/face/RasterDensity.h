#pragma once

#include <cstdint>

namespace cellsonify {

class ImageCanvas;
struct CellModel;

// A block with at least 1 / kFullBlueBlock of its cell-frames active shows the
// marks' full blue. A raster whose pixels stand for at most this many
// cell-frames each (cells per pixel row, at least 1, times frames per pixel
// column, at least 1) shows its plain marks instead: every cell has its rows
// and every frame its column, or a few frames share one, as the picture
// always was; just above it a lone event is still nearly full blue.
inline constexpr int kFullBlueBlock = 8;

// Colour of a pixel whose block holds `active` events among `cells` x `frames`
// cell-frames: `background` for none, the marks' blue from a share of
// 1 / kFullBlueBlock up, and between them a shade growing with the square
// root of the share, so that sparse background stays light and bursts stand out.
uint32_t densityRgb(uint64_t active, uint64_t cells, uint64_t frames, uint32_t background);

// Paints the raster's activity into the image without clearing: each pixel
// lit by the marks RedrawViewsDirect would draw gets the marks' blue where
// the raster shows plain marks (see kFullBlueBlock), else densityRgb of its
// block (the cells whose rows cover it, the frames of its column); every
// other pixel is left alone. Costs one look-up per event in the visible frames plus
// one pass over the pixels, never cells x frames.
void PaintActivityDensity(const CellModel& model, ImageCanvas& raster);

}  // namespace cellsonify
