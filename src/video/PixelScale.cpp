#include "video/PixelScale.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cellsonify {

void scaleNearest(const PixelView& source, int scale, uint32_t* target, int width, int height,
                  std::ptrdiff_t bytesPerLine) {
    auto row = [&](int y) {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<unsigned char*>(target) + y * bytesPerLine);
    };
    int y = 0;
    for (int sy = 0; sy < source.height && y < height; ++sy) {
        const auto* in = reinterpret_cast<const uint32_t*>(reinterpret_cast<const unsigned char*>(source.pixels) +
                                                           sy * source.bytesPerLine);
        uint32_t* out = row(y);
        int x = 0;
        for (int sx = 0; sx < source.width && x < width; ++sx)
            for (int r = 0; r < scale && x < width; ++r) out[x++] = in[sx];
        const uint32_t last = source.width > 0 ? in[source.width - 1] : 0;
        std::fill(out + x, out + width, last);
        // The rest of this source row's lines are copies of the first.
        const int rowsOfThis = sy + 1 == source.height ? height - y : std::min(scale, height - y);
        for (int r = 1; r < rowsOfThis; ++r) std::memcpy(row(y + r), out, static_cast<std::size_t>(width) * 4);
        y += rowsOfThis;
    }
}

void spreadPlane(const PlaneView& source, int step, int scale, const PlaneView& target) {
    auto from = [&](int t, int last) { return std::min(static_cast<int>(static_cast<int64_t>(t) * step / scale), last); };
    std::vector<int> column(static_cast<std::size_t>(target.width));
    for (int x = 0; x < target.width; ++x) column[static_cast<std::size_t>(x)] = from(x, source.width - 1);
    int filledFrom = -1;  // the source row the previous target row came from
    for (int y = 0; y < target.height; ++y) {
        uint8_t* out = target.bytes + y * target.bytesPerLine;
        const int sy = from(y, source.height - 1);
        if (sy == filledFrom) {
            std::memcpy(out, out - target.bytesPerLine, static_cast<std::size_t>(target.width));
            continue;
        }
        const uint8_t* in = source.bytes + sy * source.bytesPerLine;
        int x = 0;
        // The common cases without the column table: copied, or each sample doubled.
        if (step == scale) {
            x = std::min(target.width, source.width);
            std::memcpy(out, in, static_cast<std::size_t>(x));
        } else if (2 * step == scale) {
            const int pairs = std::min(target.width / 2, source.width);
            for (int i = 0; i < pairs; ++i) out[2 * i] = out[2 * i + 1] = in[i];
            x = 2 * pairs;
        }
        for (; x < target.width; ++x) out[x] = in[column[static_cast<std::size_t>(x)]];
        filledFrom = sy;
    }
}

}  // namespace cellsonify
