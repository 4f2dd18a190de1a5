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
    const QSize old = client_;
    client_ = QSize(std::max(outer.width() - 2 * kBorder, 1), std::max(outer.height() - 2 * kBorder, 1));
    sizeImage();
    if (client_ == old) return;
    const double sx = double(client_.width()) / old.width(), sy = double(client_.height()) / old.height();
    // Overlays keep their place relative to the client area, as if drawn in
    // the user scale: a cursor set at a frame stays at that frame.
    for (auto& l : lines_) {
        const QLineF& p = l->pixels();
        l->place(QLineF(p.x1() * sx, p.y1() * sy, p.x2() * sx, p.y2() * sy));
    }
    if (repaint_) repaint_(QRect(QPoint(0, 0), size()));
}

void ViewBox::setDeviceRatio(double ratio) {
    if (!(ratio > 0) || ratio == ratio_) return;
    ratio_ = ratio;
    canvas_.setMarkSize(std::max(1, int(std::lround(ratio))));
    sizeImage();
    if (repaint_) repaint_(QRect(QPoint(0, 0), size()));
}

void ViewBox::sizeImage() {
    canvas_.resize(int(std::lround(client_.width() * ratio_)), int(std::lround(client_.height() * ratio_)));
}

void ViewBox::setScale(double left, double top, double width, double height) {
    canvas_.setScale({left, top, width, height});
}

double ViewBox::toPixelX(double x) const {
    const UserScale& s = canvas_.scale();
    return (x - s.left) * (client_.width() / s.width);
}

double ViewBox::toPixelY(double y) const {
    const UserScale& s = canvas_.scale();
    return (y - s.top) * (client_.height() / s.height);
}

double ViewBox::userX(double px) const {
    const UserScale& s = canvas_.scale();
    return pixelToUser(px, s.left, s.width, client_.width());
}

double ViewBox::userY(double py) const {
    const UserScale& s = canvas_.scale();
    return pixelToUser(py, s.top, s.height, client_.height());
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
    const QRect client(QPoint(0, 0), client_);
    const QRect span = client.intersected(QRect(
        QPoint(int(std::clamp<long long>(std::min(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::min(y1, y2), -1, client.height()))),
        QPoint(int(std::clamp<long long>(std::max(x1, x2), -1, client.width())),
               int(std::clamp<long long>(std::max(y1, y2), -1, client.height())))));
    if (!span.isEmpty()) repaint_(span.translated(kBorder, kBorder));
}

void ViewBox::paintAt(QPainter& p, const QPoint& topLeft) const {
    p.save();
    p.translate(topLeft);
    paint(p, QRect(QPoint(0, 0), size()));
    p.restore();
}

void ViewBox::paint(QPainter& p, const QRect& exposed) const {
    const QSize box = size();
    // The border fills whole box pixels, so at any device ratio it meets the image.
    const QColor black(0, 0, 0);
    p.fillRect(0, 0, box.width(), kBorder, black);
    p.fillRect(0, box.height() - kBorder, box.width(), kBorder, black);
    p.fillRect(0, 0, kBorder, box.height(), black);
    p.fillRect(box.width() - kBorder, 0, kBorder, box.height(), black);
    const QRect client(QPoint(kBorder, kBorder), client_);
    const QRect area = exposed.intersected(client);
    // Clipped first: at a fractional ratio the image's last device pixel may
    // reach a little past the client area.
    p.setClipRect(area);
    if (!area.isEmpty()) {
        // The image pixels under the exposed area, drawn back over exactly
        // their own extent so each lands on one device pixel.
        const QRect from = QRect(QPoint(int(std::floor((area.left() - kBorder) * ratio_)),
                                        int(std::floor((area.top() - kBorder) * ratio_))),
                                 QPoint(int(std::ceil((area.right() + 1 - kBorder) * ratio_)) - 1,
                                        int(std::ceil((area.bottom() + 1 - kBorder) * ratio_)) - 1))
                               .intersected(canvas_.image().rect());
        const QRectF to(kBorder + from.x() / ratio_, kBorder + from.y() / ratio_, from.width() / ratio_,
                        from.height() / ratio_);
        p.drawImage(to, canvas_.image(), QRectF(from));
    }
    for (const auto& l : lines_) {
        if (!l->visible()) continue;
        const QColor colour = QColor::fromRgb(l->colour());
        const QLineF& px = l->pixels();
        rasteriseLine(floorPixel(px.x1()), floorPixel(px.y1()), floorPixel(px.x2()), floorPixel(px.y2()),
                      client_.width(), client_.height(), [&](int x, int y) {
                          p.fillRect(x + kBorder, y + kBorder, 1, 1, colour);
                      });
    }
}

}  // namespace cellsonify
