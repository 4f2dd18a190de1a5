#pragma once

#include <cstddef>
#include <cstdint>

namespace cellsonify {

// 32-bit pixels in rows `bytesPerLine` apart (QImage::Format_RGB32 order).
struct PixelView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t bytesPerLine = 0;
};

}  // namespace cellsonify
