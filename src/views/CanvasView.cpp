#include "views/CanvasView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace cellsonify {

CanvasView::CanvasView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    box_.canvas().setChangeListener([this] {
        if (flushPending_) return;
        flushPending_ = true;
        QMetaObject::invokeMethod(this, &CanvasView::flushDirty, Qt::QueuedConnection);
    });
    box_.setRepaintListener([this](const QRect& r) { update(r); });
}

CanvasView::~CanvasView() {
    box_.canvas().setChangeListener({});
    box_.setRepaintListener({});
}

void CanvasView::setBoxGeometry(const QRect& outer) {
    followResolution();
    setGeometry(outer);
    box_.resize(outer.size());
}

bool CanvasView::followResolution() {
    const double ratio = devicePixelRatioF();
    if (ratio == box_.deviceRatio()) return false;
    box_.setDeviceRatio(ratio);
    return true;
}

bool CanvasView::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ScreenChangeInternal && followResolution()) emit resolutionChanged();
    return handled;
}

void CanvasView::setScale(double left, double top, double width, double height) {
    box_.setScale(left, top, width, height);
}

double CanvasView::toPixelX(double x) const { return box_.toPixelX(x); }
double CanvasView::toPixelY(double y) const { return box_.toPixelY(y); }

OverlayLine& CanvasView::addLine(const QString& name, const QLineF& pixels, uint32_t rgb) {
    return box_.addLine(name, pixels, rgb);
}

OverlayLine* CanvasView::line(const QString& name) { return box_.line(name); }

void CanvasView::setAcceptsFiles(bool accepts) {
    acceptsFiles_ = accepts;
    setAcceptDrops(accepts);
}

void CanvasView::repaintLine(const QLineF& pixels) { box_.repaintLine(pixels); }

void CanvasView::flushDirty() {
    flushPending_ = false;
    const QRect dirty = box_.canvas().takeDirty();
    if (!dirty.isEmpty()) update(dirty.translated(kBorder, kBorder));
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    box_.paint(p, event->rect());
}

void CanvasView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    followResolution();
    box_.resize(size());
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    emit pressed(box_.userX(event->position().x() - kBorder));
    QWidget::mousePressEvent(event);
}

void CanvasView::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptsFiles_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CanvasView::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptsFiles_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CanvasView::dropEvent(QDropEvent* event) {
    if (!acceptsFiles_) return;
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) paths.push_back(url.toLocalFile());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace cellsonify
