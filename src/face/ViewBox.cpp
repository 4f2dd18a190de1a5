#include "face/ViewBox.h"

#include "face/PixelLine.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {
long long floorPixel(double v) {
    if (!std::isfinite(v)) return v > 0 ? (1LL << 28) : -(1LL << 28);
    return static_cast<long long>(std::clamp(std::floor(v), -268435456.0, 268435456.0));
}
}  // namespace

ViewBox::ViewBox() : canvas_(1, 1) {}

void ViewBox::resize(const QSize& outer) {
    const double oldWidth = canvas_.pixelWidth(), oldHeight = canvas_.pixelHeight();
    canvas_.resize(outer.width() - 2 * kBorder, outer.height() - 2 * kBorder);
    const double sx = canvas_.pixelWidth() / oldWidth, sy = canvas_.pixelHeight() / oldHeight;
    if (sx == 1.0 && sy == 1.0) return;
    // Overlays keep their place relative to the client area, as if drawn in
    // the user scale: a cursor set at a frame stays at that frame.
    for (auto& l : lines_) {
        const QLineF& p = l->pixels();
        l->place(QLineF(p.x1() * sx, p.y1() * sy, p.x2() * sx, p.y2() * sy));
    }
    if (repaint_) repaint_(QRect(QPoint(0, 0), size()));
}

void ViewBox::setScale(double left, double top, double width, double height) {
    canvas_.setScale({left, top, width, height});
}

double ViewBox::toPixelX(double x) const {
    const UserScale& s = canvas_.scale();
    return (x - s.left) * (canvas_.pixelWidth() / s.width);
}

double ViewBox::toPixelY(double y) const {
    const UserScale& s = canvas_.scale();
    return (y - s.top) * (canvas_.pixelHeight() / s.height);
}

OverlayLine& ViewBox::addLine(const QString& name, const QLineF& pixels, uint32_t rgb) {
    lines_.push_back(std::make_unique<OverlayLine>(*this, name, pixels, rgb));
    repaintLine(pixels);
    return *lines_.back();
}

OverlayLine* ViewBox::line(const QString& name) {
    for (auto& l : lines_)
        if (l->name() == name) return l.get();
    return nullptr;
}

void ViewBox::repaintLine(const QLineF& pixels) {
    if (!repaint_) return;
    const long long x1 = floorPixel(pixels.x1()), x2 = floorPixel(pixels.x2());
    const long long y1 = floorPixel(pixels.y1()), y2 = floorPixel(pixels.y2());
    const QRect client(0, 0, canvas_.pixelWidth(), canvas_.pixelHeight());
    const QRect span = client.intersected(QRect(
        QPoint(int(std::clamp<long long>(std::min(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::min(y1, y2), -1, client.height()))),
        QPoint(int(std::clamp<long long>(std::max(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::max(y1, y2), -1, client.height())))));
    if (!span.isEmpty()) repaint_(span.translated(kBorder, kBorder));
}

void ViewBox::paint(QPainter& p, const QRect& exposed) const {
    const QSize box = size();
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, box.width() - 1, box.height() - 1);
    const QRect client(kBorder, kBorder, canvas_.pixelWidth(), canvas_.pixelHeight());
    const QRect area = exposed.intersected(client);
    if (!area.isEmpty()) p.drawImage(area.topLeft(), canvas_.image(), area.translated(-kBorder, -kBorder));
    p.setClipRect(client.intersected(exposed));
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

}  // namespace cellsonify
