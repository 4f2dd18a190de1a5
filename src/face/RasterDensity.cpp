#include "face/RasterDensity.h"

#include "drawing/Palette.h"
#include "face/FrameColumns.h"
#include "face/ImageCanvas.h"
#include "model/CellModel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cellsonify {

uint32_t densityRgb(uint64_t active, uint64_t cells, uint64_t frames, uint32_t background) {
    const uint32_t blue = paletteRgb(kLightBlue);
    const uint64_t block = cells * frames;
    if (active == 0 || block == 0) return background;
    if (active * kFullBlueBlock >= block) return blue;
    const double t = std::sqrt(static_cast<double>(active) * kFullBlueBlock / static_cast<double>(block));
    uint32_t rgb = 0xFF000000;
    for (int shift : {16, 8, 0}) {
        const double from = (background >> shift) & 0xFF, to = (blue >> shift) & 0xFF;
        rgb |= static_cast<uint32_t>(std::lround(from + (to - from) * t)) << shift;
    }
    return rgb;
}

void PaintActivityDensity(const CellModel& model, ImageCanvas& raster) {
    const int cells = model.CellCount;
    const int32_t frameCount = model.FrameCount;
    if (cells < 1 || frameCount < 1) return;
    const int w = raster.pixelWidth(), h = raster.pixelHeight();
    // A mark lights `mark` columns from its frame's and `mark` rows more below its cell's.
    const int mark = raster.markSize();
    const int columns = std::min(w, 65533);
    std::vector<uint16_t> column(static_cast<std::size_t>(frameCount) + 1);
    fillColumnTable(raster, columns, column);
    // The frames in the image form one run (columns grow or shrink with the frame).
    std::vector<uint32_t> framesIn(static_cast<std::size_t>(columns) + 2);
    int32_t first = 0, last = -1;
    for (int32_t j = 1; j <= frameCount; ++j) {
        const uint16_t c = column[static_cast<std::size_t>(j)];
        ++framesIn[c];
        if (c >= 1 && c <= columns) {
            if (first == 0) first = j;
            last = j;
        }
    }
    if (last < first) return;

    // Events per (pixel row, column) and cells per pixel row, as differences
    // down the rows: a cell adds its events at its top row and takes them away
    // below its bottom row. Neighbouring cells on the same rows (several per
    // row when cells outnumber rows) collect their events in one band first.
    const std::size_t cols = static_cast<std::size_t>(columns);
    std::vector<int32_t> eventsDown((static_cast<std::size_t>(h) + 1) * cols);
    std::vector<int32_t> cellsDown(static_cast<std::size_t>(h) + 1);
    std::vector<uint32_t> band(cols + 2);
    int bandTop = 0, bandBottom = -1;
    bool bandUsed = false;
    const auto flushBand = [&] {
        if (!bandUsed) return;
        int32_t* top = eventsDown.data() + static_cast<std::size_t>(bandTop) * cols;
        int32_t* below = eventsDown.data() + static_cast<std::size_t>(bandBottom + 1) * cols;
        for (std::size_t c = 0; c < cols; ++c) {
            const uint32_t n = band[c + 1];
            if (n == 0) continue;
            top[c] += static_cast<int32_t>(n);
            below[c] -= static_cast<int32_t>(n);
            band[c + 1] = 0;
        }
        bandUsed = false;
    };
    for (int place = 1; place <= cells; ++place) {
        // The rows of the mark RedrawViewsDirect draws for this place, both ends included.
        const long long y1 = raster.pixelY(static_cast<float>(cells - place));
        const long long y2 = raster.pixelY(static_cast<float>(cells - place + 1));
        const int top = static_cast<int>(std::max<long long>(std::min(y1, y2), 0));
        const int bottom = static_cast<int>(std::min<long long>(std::max(y1, y2) + mark - 1, h - 1));
        if (top > bottom) continue;
        ++cellsDown[static_cast<std::size_t>(top)];
        --cellsDown[static_cast<std::size_t>(bottom) + 1];
        auto frames = model.Activity.framesOf(model.Rows.cellAt(place));
        const int32_t* from = std::lower_bound(frames.data(), frames.data() + frames.size(), first);
        const int32_t* to = std::upper_bound(from, frames.data() + frames.size(), last);
        if (from == to) continue;
        if (top != bandTop || bottom != bandBottom) {
            flushBand();
            bandTop = top;
            bandBottom = bottom;
        }
        for (const int32_t* f = from; f != to; ++f) ++band[column[static_cast<std::size_t>(*f)]];
        bandUsed = true;
    }
    flushBand();

    const UserScale& scale = raster.scale();
    // Shaded as at one device pixel per window pixel, whatever the device's resolution.
    const double block = std::max(1.0, std::fabs(scale.height) * mark / h) * std::max(1.0, std::fabs(scale.width) * mark / w);
    const bool plain = block <= kFullBlueBlock;
    const uint32_t blue = paletteRgb(kLightBlue);
    QImage& image = raster.pixels();
    const uint32_t background = raster.background();
    std::vector<int64_t> events(cols);
    // With wider marks a column shows the frames of the `mark` columns ending at it.
    std::vector<int64_t> shown(mark > 1 ? cols : 0);
    std::vector<uint32_t> framesShown(framesIn);
    for (int d = 1; d < mark; ++d)
        for (std::size_t c = cols; c >= static_cast<std::size_t>(d) + 1; --c) framesShown[c] += framesIn[c - d];
    int64_t cover = 0;
    int touchedTop = h, touchedBottom = -1;
    for (int y = 0; y < h; ++y) {
        cover += cellsDown[static_cast<std::size_t>(y)];
        const int32_t* diff = eventsDown.data() + static_cast<std::size_t>(y) * cols;
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        bool any = false;
        const bool wide = mark > 1;
        if (wide) {
            for (std::size_t c = 0; c < cols; ++c) events[c] += diff[c];
            for (std::size_t c = 0; c < cols; ++c) {
                shown[c] = events[c];
                for (std::size_t d = 1; d < static_cast<std::size_t>(mark) && d <= c; ++d) shown[c] += events[c - d];
            }
        }
        for (std::size_t c = 0; c < cols; ++c) {
            if (!wide) events[c] += diff[c];
            const int64_t n = wide ? shown[c] : events[c];
            if (n <= 0) continue;
            row[c] = plain ? blue
                           : densityRgb(static_cast<uint64_t>(n), static_cast<uint64_t>(cover), framesShown[c + 1],
                                background);
            any = true;
        }
        if (any) {
            touchedTop = std::min(touchedTop, y);
            touchedBottom = y;
        }
    }
    if (touchedBottom >= touchedTop) raster.markDirty(QRect(0, touchedTop, w, touchedBottom - touchedTop + 1));
}

}  // namespace cellsonify
