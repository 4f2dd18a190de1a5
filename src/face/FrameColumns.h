#pragma once

#include <cstdint>
#include <vector>

namespace cellsonify {

class ImageCanvas;

// column[j] = the pixel column of frame j (j >= 1) on `raster` clamped to
// -1..columns, plus one, so that 0 and columns + 1 collect the frames left and
// right of the image: floor((j - left) * (width / extent)), as ImageCanvas::pixelX.
void fillColumnTable(const ImageCanvas& raster, int columns, std::vector<uint16_t>& column);

}  // namespace cellsonify
