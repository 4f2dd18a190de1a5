#include "views/CanvasView.h"

#include "views/PixelLine.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <cmath>

namespace cellsonify {

CanvasView::CanvasView(QWidget* parent) : QWidget(parent), canvas_(1, 1) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.setChangeListener([this] {
        if (flushPending_) return;
        flushPending_ = true;
        QMetaObject::invokeMethod(this, &CanvasView::flushDirty, Qt::QueuedConnection);
    });
}

CanvasView::~CanvasView() { canvas_.setChangeListener({}); }

void CanvasView::setBoxGeometry(const QRect& outer) {
    setGeometry(outer);
    resizeClient(outer.width() - 2 * kBorder, outer.height() - 2 * kBorder);
}

void CanvasView::resizeClient(int width, int height) {
    const double oldWidth = canvas_.pixelWidth(), oldHeight = canvas_.pixelHeight();
    canvas_.resize(width, height);
    const double sx = canvas_.pixelWidth() / oldWidth, sy = canvas_.pixelHeight() / oldHeight;
    if (sx == 1.0 && sy == 1.0) return;
    // Overlays keep their place relative to the client area, as if drawn in
    // the user scale: a cursor set at a frame stays at that frame.
    for (auto& l : lines_) {
        const QLineF& p = l->pixels();
        l->place(QLineF(p.x1() * sx, p.y1() * sy, p.x2() * sx, p.y2() * sy));
    }
    update();
}

void CanvasView::setScale(double left, double top, double width, double height) {
    canvas_.setScale({left, top, width, height});
}

double CanvasView::toPixelX(double x) const {
    const UserScale& s = canvas_.scale();
    return (x - s.left) * (canvas_.pixelWidth() / s.width);
}

double CanvasView::toPixelY(double y) const {
    const UserScale& s = canvas_.scale();
    return (y - s.top) * (canvas_.pixelHeight() / s.height);
}

OverlayLine& CanvasView::addLine(const QString& name, const QLineF& pixels, uint32_t rgb) {
    lines_.push_back(std::make_unique<OverlayLine>(*this, name, pixels, rgb));
    repaintLine(pixels);
    return *lines_.back();
}

OverlayLine* CanvasView::line(const QString& name) {
    for (auto& l : lines_)
        if (l->name() == name) return l.get();
    return nullptr;
}

void CanvasView::setAcceptsFiles(bool accepts) {
    acceptsFiles_ = accepts;
    setAcceptDrops(accepts);
}

namespace {
long long floorPixel(double v) {
    if (!std::isfinite(v)) return v > 0 ? (1LL << 28) : -(1LL << 28);
    return static_cast<long long>(std::clamp(std::floor(v), -268435456.0, 268435456.0));
}
}  // namespace

void CanvasView::repaintLine(const QLineF& pixels) {
    const long long x1 = floorPixel(pixels.x1()), x2 = floorPixel(pixels.x2());
    const long long y1 = floorPixel(pixels.y1()), y2 = floorPixel(pixels.y2());
    const QRect client(0, 0, canvas_.pixelWidth(), canvas_.pixelHeight());
    const QRect span = client.intersected(QRect(
        QPoint(int(std::clamp<long long>(std::min(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::min(y1, y2), -1, client.height()))),
        QPoint(int(std::clamp<long long>(std::max(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::max(y1, y2), -1, client.height())))));
    if (!span.isEmpty()) update(span.translated(kBorder, kBorder));
}

void CanvasView::flushDirty() {
    flushPending_ = false;
    const QRect dirty = canvas_.takeDirty();
    if (!dirty.isEmpty()) update(dirty.translated(kBorder, kBorder));
}

void CanvasView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, width() - 1, height() - 1);
    const QRect client(kBorder, kBorder, canvas_.pixelWidth(), canvas_.pixelHeight());
    const QRect area = event->rect().intersected(client);
    if (!area.isEmpty()) p.drawImage(area.topLeft(), canvas_.image(), area.translated(-kBorder, -kBorder));
    p.setClipRect(client.intersected(event->rect()));
    for (const auto& l : lines_) {
        if (!l->visible()) continue;
        const QColor colour = QColor::fromRgb(l->colour());
        const QLineF& px = l->pixels();
        rasteriseLine(floorPixel(px.x1()), floorPixel(px.y1()), floorPixel(px.x2()), floorPixel(px.y2()),
                      canvas_.pixelWidth(), canvas_.pixelHeight(), [&](int x, int y) {
                          p.fillRect(x + kBorder, y + kBorder, 1, 1, colour);
                      });
    }
}

void CanvasView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resizeClient(width() - 2 * kBorder, height() - 2 * kBorder);
}

void CanvasView::mousePressEvent(QMouseEvent* event) {
    emit pressed(canvas_.userX(event->position().x() - kBorder));
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
