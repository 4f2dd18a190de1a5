#pragma once

#include <cstdint>

namespace cellsonify {

// Indices into the classic 16-colour palette; the views use these five.
enum PaletteIndex : int {
    kBlack = 0,
    kLightGrey = 7,
    kLightBlue = 9,
    kLightRed = 12,
    kWhite = 15,
};

// 0xAARRGGBB of a palette index (0..15); indices outside wrap modulo 16.
uint32_t paletteRgb(int index);

}  // namespace cellsonify
