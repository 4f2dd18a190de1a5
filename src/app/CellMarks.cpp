#include "app/CellMarks.h"

#include "model/CellModel.h"
#include "views/CanvasView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace cellsonify {

MapMarks::MapMarks(CanvasView& map, std::function<const CellModel&()> model)
    : QWidget(&map), map_(map), model_(std::move(model)) {
    setObjectName(QStringLiteral("pickedCellRings"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(CanvasView::kBorder, CanvasView::kBorder, map.clientSize().width(), map.clientSize().height());
}

void MapMarks::paintEvent(QPaintEvent*) {
    const CellModel& model = model_();
    if (model.Selection.count() == 0) return;
    QPainter p(this);
    p.setPen(QPen(QColor::fromRgb(kPickedCellRgb), 1));
    p.setBrush(Qt::NoBrush);
    for (const int cell : model.Selection.cells()) {
        if (cell > model.CellCount || cell >= static_cast<int>(model.CellPos.size())) continue;
        const QPointF centre(map_.toPixelX(model.CellPos[cell].X), map_.toPixelY(model.CellPos[cell].Y));
        p.drawEllipse(centre, kRingRadius, kRingRadius);
    }
}

RowMarks::RowMarks(CanvasView& raster, std::function<const CellModel&()> model)
    : QWidget(raster.parentWidget()), raster_(raster), model_(std::move(model)) {
    setObjectName(QStringLiteral("pickedRowMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
}

void RowMarks::place() {
    const QRect r = raster_.geometry();
    setGeometry(r.left() - kWidth - 1, r.top() + CanvasView::kBorder, kWidth, raster_.clientSize().height());
}

void RowMarks::paintEvent(QPaintEvent*) {
    const CellModel& model = model_();
    if (model.Selection.count() == 0) return;
    QPainter p(this);
    const int n = model.CellCount;
    for (const int cell : model.Selection.cells()) {
        if (cell > n) continue;
        // The same rows the raster gives the cell's marks.
        const int place = model.Rows.placeOf(cell);
        const double top = std::floor(raster_.toPixelY(n - place));
        const double bottom = std::max(std::floor(raster_.toPixelY(n - place + 1)), top + 1);
        p.fillRect(QRectF(0, top, width(), bottom - top), QColor::fromRgb(kPickedCellRgb));
    }
}

}  // namespace cellsonify
