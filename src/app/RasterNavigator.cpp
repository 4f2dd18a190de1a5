#include "app/RasterNavigator.h"

#include "app/MainWindow.h"
#include "face/RasterWindow.h"
#include "views/CanvasView.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace cellsonify {

RasterNavigator::RasterNavigator(MainWindow& window)
    : QObject(&window), window_(window), raster_(&window.raster()) {
    setObjectName(QStringLiteral("rasterNavigator"));
    window.raster().installEventFilter(this);
}

bool RasterNavigator::eventFilter(QObject* watched, QEvent* event) {
    // Only the user's wheel and mouse events ask the window anything.
    if (watched != raster_) return false;
    switch (event->type()) {
    case QEvent::Wheel:
        return wheel(event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return middleDrag(event);
    default:
        return false;
    }
}

bool RasterNavigator::wheel(QEvent* event) {
    const auto* turn = static_cast<QWheelEvent*>(event);
    const CellModel& model = window_.model();
    if (model.CellCount < 1 || model.FrameCount < 1) return false;
    // Some systems turn a Shift+wheel into a sideways one.
    const QPoint delta = turn->angleDelta();
    const int eighths = delta.y() != 0 ? delta.y() : delta.x();
    if (eighths == 0) return true;
    const double factor = std::pow(kNotchZoom, eighths / 120.0);
    const CanvasView& raster = window_.raster();
    const QPointF at = turn->position() - QPointF(CanvasView::kBorder, CanvasView::kBorder);
    const UserScale now = window_.rasterWindow();
    const UserScale next = turn->modifiers().testFlag(Qt::ShiftModifier)
                               ? rasterwindow::zoomRows(now, factor, raster.userY(at.y()), model.CellCount)
                               : rasterwindow::zoomFrames(now, factor, raster.userX(at.x()), model.FrameCount);
    window_.showRasterWindow(next);
    return true;
}

bool RasterNavigator::middleDrag(QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const bool middle = mouse->button() == Qt::MiddleButton || mouse->buttons().testFlag(Qt::MiddleButton);
    if (!middle && !dragFrom_) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::MiddleButton) return false;
        dragFrom_ = mouse->position();
        dragWindow_ = window_.rasterWindow();
        return true;  // not a seek
    }
    if (!dragFrom_) return false;
    const QSize client = window_.raster().clientSize();
    const QPointF moved = mouse->position() - *dragFrom_;
    // The picture follows the pointer: moving right brings earlier frames in.
    const double frames = -moved.x() * dragWindow_.width / client.width();
    const double rows = -moved.y() * dragWindow_.height / client.height();
    const CellModel& model = window_.model();
    window_.showRasterWindow(rasterwindow::scrolled(dragWindow_, frames, rows, model.FrameCount, model.CellCount));
    if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::MiddleButton) dragFrom_.reset();
    return true;
}

}  // namespace cellsonify
