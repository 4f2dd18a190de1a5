#include "face/RedrawViews.h"

#include "model/CellModel.h"
#include "face/ImageCanvas.h"
#include "drawing/Palette.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cellsonify {

namespace {

// FNV-1a over raw bytes: stable and cheap enough for a few thousand values.
struct Hash {
    unsigned long long h = 1469598103934665603ULL;
    template <class T>
    void add(const T& v) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ULL;
    }
};

void drawCellDots(const CellModel& model, Canvas& cellMap) {
    for (int i = 1; i <= model.CellCount && i < static_cast<int>(model.CellPos.size()); ++i)
        cellMap.circle(static_cast<float>(model.CellPos[i].X), static_cast<float>(model.CellPos[i].Y),
                       kCellDotRadius);
}

void beginMap(Canvas& cellMap) {
    cellMap.setFillColour(kLightGrey);
    cellMap.setForeColour(kLightGrey);
}

unsigned long long sceneKey(uint64_t revision, const ImageCanvas& c, int which) {
    Hash k;
    k.add(revision);
    k.add(which);
    k.add(c.scale());
    k.add(c.pixelWidth());
    k.add(c.pixelHeight());
    k.add(c.background());
    return k.h;
}

// column[j] = the pixel column of frame j clamped to -1..columns, plus one.
// The same floor((j - left) * (width / extent)) as ImageCanvas::pixelX, without
// a library call per frame: a value well inside +-2^28 floors exactly through
// a truncation; anything else goes the long way.
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

}  // namespace

void RedrawViewsDirect(const CellModel& model, Canvas& raster, Canvas& cellMap) {
    raster.clear();
    cellMap.clear();
    beginMap(cellMap);
    const int cells = model.CellCount;
    for (int i = 1; i <= cells; ++i) {
        if (i < static_cast<int>(model.CellPos.size()))
            cellMap.circle(static_cast<float>(model.CellPos[i].X), static_cast<float>(model.CellPos[i].Y),
                           kCellDotRadius);
        const int row = model.Rows.placeOf(i);
        const float top = static_cast<float>(cells - row), bottom = static_cast<float>(cells - row + 1);
        for (int32_t j : model.Activity.framesOf(i)) {
            if (j > model.FrameCount) break;
            if (j < 1) continue;
            raster.line(static_cast<float>(j), top, static_cast<float>(j), bottom, kLightBlue);
        }
    }
}

void PaintActivityMarks(const CellModel& model, ImageCanvas& raster) {
    const int cells = model.CellCount;
    const int32_t frameCount = std::min<int32_t>(model.FrameCount, model.Activity.lastFrame());
    if (cells < 1 || frameCount < 1) return;
    const int w = raster.pixelWidth(), h = raster.pixelHeight();
    // Column of every frame, shifted by one so that 0 and w + 1 collect the
    // frames left and right of the image; a mark's pixels depend only on its
    // column and its cell's rows, so each cell needs just the set of columns it hits.
    // 16-bit columns keep the table in the processor's cache (it is read once
    // per mark, in no useful order across cells); an image wider than 65533
    // pixels is clamped to that, beyond anything a screen shows.
    const int columns = std::min(w, 65533);
    std::vector<uint16_t> column(static_cast<std::size_t>(frameCount) + 1);
    fillColumnTable(raster, columns, column);
    std::vector<uint8_t> hit(static_cast<std::size_t>(columns) + 2);
    const uint32_t rgb = paletteRgb(kLightBlue);
    QImage& image = raster.pixels();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    int touchedTop = h, touchedBottom = -1;
    // Every mark has the same colour, so neighbouring cells drawn on the same
    // rows (several per row when cells outnumber rows) collect their columns
    // together and are painted once.
    int rowsTop = 0, rowsBottom = -1;
    bool anyHit = false;
    // Once every column of the current rows is hit, the rest of the cells
    // drawn on them cannot change a pixel and are not read at all.
    bool rowsFull = false;
    const auto paintRows = [&] {
        if (!anyHit) return;
        bool painted = false;
        for (int c = 0; c < columns; ++c) {
            if (!hit[c + 1]) continue;
            uchar* p = bits + rowsTop * stride + static_cast<qsizetype>(c) * 4;
            for (int y = rowsTop; y <= rowsBottom; ++y, p += stride) *reinterpret_cast<uint32_t*>(p) = rgb;
            painted = true;
        }
        if (painted) {
            touchedTop = std::min(touchedTop, rowsTop);
            touchedBottom = std::max(touchedBottom, rowsBottom);
        }
        std::fill(hit.begin(), hit.end(), uint8_t{0});
        anyHit = false;
        rowsFull = false;
    };
    for (int i = 1; i <= cells; ++i) {
        // The mark's two ends share one column, so it is the run of rows between them.
        const long long y1 = raster.pixelY(static_cast<float>(cells - i));
        const long long y2 = raster.pixelY(static_cast<float>(cells - i + 1));
        const int top = static_cast<int>(std::max<long long>(std::min(y1, y2), 0));
        const int bottom = static_cast<int>(std::min<long long>(std::max(y1, y2), h - 1));
        if (top > bottom) continue;
        // Row i holds the cell the row order puts there.
        auto frames = model.Activity.framesOf(model.Rows.cellAt(i));
        const int32_t* f = frames.data();
        const int32_t* end = std::upper_bound(f, f + frames.size(), frameCount);
        if (f == end) continue;
        if (top != rowsTop || bottom != rowsBottom) {
            paintRows();
            rowsTop = top;
            rowsBottom = bottom;
        }
        if (rowsFull) continue;
        for (const int32_t* p = f; p != end; ++p) hit[column[*p]] = 1;
        anyHit = true;
        rowsFull = std::memchr(hit.data() + 1, 0, static_cast<std::size_t>(columns)) == nullptr;
    }
    paintRows();
    if (touchedBottom >= touchedTop) raster.markDirty(QRect(0, touchedTop, w, touchedBottom - touchedTop + 1));
}

void RedrawViews(const CellModel& model, Canvas& raster, Canvas& cellMap) { RedrawViewsDirect(model, raster, cellMap); }

void RedrawViews(const CellModel& model, ImageCanvas& raster, ImageCanvas& cellMap) {
    const unsigned long long rasterKey = sceneKey(model.Revision, raster, 0);
    if (!raster.restoreResting(rasterKey)) {
        raster.clear();
        PaintActivityMarks(model, raster);
        raster.keepResting(rasterKey);
    }
    const unsigned long long mapKey = sceneKey(model.Revision, cellMap, 1);
    if (!cellMap.restoreResting(mapKey)) {
        cellMap.clear();
        beginMap(cellMap);
        drawCellDots(model, cellMap);
        cellMap.keepResting(mapKey);
    }
    beginMap(cellMap);
}

}  // namespace cellsonify
