#include "face/FrameColumns.h"

#include "face/ImageCanvas.h"

#include <algorithm>

namespace cellsonify {

// Without a library call per frame: a value well inside +-2^28 floors exactly
// through a truncation; anything else goes the long way.
void fillColumnTable(const ImageCanvas& raster, int columns, std::vector<uint16_t>& column) {
    const UserScale& scale = raster.scale();
    const double perUnit = raster.pixelWidth() / scale.width;
    const double origin = scale.left;
    for (std::size_t j = 1; j < column.size(); ++j) {
        const float x = static_cast<float>(j);
        const double v = (static_cast<double>(x) - origin) * perUnit;
        long long px;
        if (v > -1e8 && v < 1e8) {
            px = static_cast<long long>(v);
            if (static_cast<double>(px) > v) --px;
        } else {
            px = raster.pixelX(x);
        }
        column[j] = static_cast<uint16_t>(std::clamp<long long>(px, -1, columns) + 1);
    }
}

}  // namespace cellsonify
