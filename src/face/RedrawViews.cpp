#include "face/RedrawViews.h"

#include "model/CellModel.h"
#include "face/ImageCanvas.h"
#include "face/RasterDensity.h"
#include "drawing/CellDots.h"
#include "drawing/Palette.h"

#include <algorithm>
#include <cstring>

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
    const float radius = cellDotRadius(model.CellCount);
    for (int i = 1; i <= model.CellCount && i < static_cast<int>(model.CellPos.size()); ++i)
        cellMap.circle(static_cast<float>(model.CellPos[i].X), static_cast<float>(model.CellPos[i].Y),
                       radius);
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

}  // namespace

void RedrawViewsDirect(const CellModel& model, Canvas& raster, Canvas& cellMap) {
    raster.clear();
    cellMap.clear();
    beginMap(cellMap);
    const int cells = model.CellCount;
    const float radius = cellDotRadius(cells);
    for (int i = 1; i <= cells; ++i) {
        if (i < static_cast<int>(model.CellPos.size()))
            cellMap.circle(static_cast<float>(model.CellPos[i].X), static_cast<float>(model.CellPos[i].Y),
                           radius);
        const int row = model.Rows.placeOf(i);
        const float top = static_cast<float>(cells - row), bottom = static_cast<float>(cells - row + 1);
        for (int32_t j : model.Activity.framesOf(i)) {
            if (j > model.FrameCount) break;
            if (j < 1) continue;
            raster.line(static_cast<float>(j), top, static_cast<float>(j), bottom, kLightBlue);
        }
    }
}

void RedrawViews(const CellModel& model, Canvas& raster, Canvas& cellMap) { RedrawViewsDirect(model, raster, cellMap); }

void RedrawViews(const CellModel& model, ImageCanvas& raster, ImageCanvas& cellMap) {
    const unsigned long long rasterKey = sceneKey(model.Revision, raster, 0);
    if (!raster.restoreResting(rasterKey)) {
        raster.clear();
        PaintActivityDensity(model, raster);
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
