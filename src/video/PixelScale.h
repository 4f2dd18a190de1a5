#pragma once

#include "video/PixelView.h"

#include <cstddef>
#include <cstdint>

namespace cellsonify {

// Writes `source` scaled up `scale` (>= 1) times by repeating each pixel into
// the `width` x `height` picture at `target`, which may be larger: the last
// column and row carry on into any extra (so a frame padded to even sides has
// no seam) and a smaller target crops.
void scaleNearest(const PixelView& source, int scale, uint32_t* target, int width, int height,
                  std::ptrdiff_t bytesPerLine);

// One 8-bit plane of a picture (a Y, U or V plane).
struct PlaneView {
    uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t bytesPerLine = 0;
};

// Fills `target` from `source` so that target sample (x, y) is source sample
// (x x step / scale, y x step / scale), the last column and row carrying on
// past the source's edge. With step 1 this enlarges a plane `scale` times;
// with step 2 it gives the half-size chroma of that enlargement, exact when
// `scale` is even (each chroma sample covers 2 x 2 pixels of one source pixel).
void spreadPlane(const PlaneView& source, int step, int scale, const PlaneView& target);

}  // namespace cellsonify
