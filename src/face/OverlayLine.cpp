#include "face/OverlayLine.h"

#include "face/ViewBox.h"

namespace cellsonify {

OverlayLine::OverlayLine(ViewBox& box, QString name, const QLineF& pixels, uint32_t rgb)
    : box_(box), name_(std::move(name)), pixels_(pixels), rgb_(rgb) {}

void OverlayLine::setX1(double x) {
    QLineF moved = pixels_;
    moved.setP1({box_.toPixelX(x), pixels_.y1()});
    moveTo(moved);
}

void OverlayLine::setX2(double x) {
    QLineF moved = pixels_;
    moved.setP2({box_.toPixelX(x), pixels_.y2()});
    moveTo(moved);
}

void OverlayLine::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    box_.repaintLine(pixels_);
}

void OverlayLine::moveTo(const QLineF& pixels) {
    if (pixels == pixels_) return;
    box_.repaintLine(pixels_);
    pixels_ = pixels;
    box_.repaintLine(pixels_);
}

}  // namespace cellsonify
