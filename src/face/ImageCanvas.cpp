#include "face/ImageCanvas.h"

#include "drawing/Palette.h"
#include "face/PixelLine.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace cellsonify {

namespace {
// A mark with an undefined coordinate has no place, so it draws nothing.
bool anyNaN(std::initializer_list<float> values) {
    for (float v : values)
        if (std::isnan(v)) return true;
    return false;
}
}  // namespace

template <class Set>
void ImageCanvas::markSquare(int x, int y, Set&& set) const {
    const int right = std::min(x + mark_, image_.width()), bottom = std::min(y + mark_, image_.height());
    for (int j = y; j < bottom; ++j)
        for (int i = x; i < right; ++i) set(i, j);
}

ImageCanvas::ImageCanvas(int pixelWidth, int pixelHeight)
    : image_(std::max(pixelWidth, 1), std::max(pixelHeight, 1), QImage::Format_RGB32) {
    image_.fill(background_);
}

void ImageCanvas::clear() {
    image_.fill(background_);
    markDirty(image_.rect());
}

void ImageCanvas::line(float x1, float y1, float x2, float y2, int colour) {
    if (anyNaN({x1, y1, x2, y2})) return;
    const uint32_t rgb = paletteRgb(colour);
    const int w = image_.width(), h = image_.height();
    const long long px1 = pixelX(x1), py1 = pixelY(y1), px2 = pixelX(x2), py2 = pixelY(y2);
    uint32_t* const base = reinterpret_cast<uint32_t*>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / 4;
    if (mark_ == 1)
        rasteriseLine(px1, py1, px2, py2, w, h, [&](int x, int y) { base[y * stride + x] = rgb; });
    else
        rasteriseLine(px1, py1, px2, py2, w, h, [&](int x, int y) {
            markSquare(x, y, [&](int i, int j) { base[j * stride + i] = rgb; });
        });
    markDirty(markedRect(std::min(px1, px2), std::min(py1, py2), std::max(px1, px2), std::max(py1, py2)));
}

void ImageCanvas::restLine(float x1, float y1, float x2, float y2, int colour) {
    if (!hasResting_ || resting_.size() != image_.size()) return line(x1, y1, x2, y2, colour);
    if (anyNaN({x1, y1, x2, y2})) return;
    const int w = image_.width(), h = image_.height();
    const long long px1 = pixelX(x1), py1 = pixelY(y1), px2 = pixelX(x2), py2 = pixelY(y2);
    uint32_t* const base = reinterpret_cast<uint32_t*>(image_.bits());
    const uint32_t* const rest = reinterpret_cast<const uint32_t*>(resting_.constBits());
    const qsizetype stride = image_.bytesPerLine() / 4, restStride = resting_.bytesPerLine() / 4;
    const auto copy = [&](int x, int y) { base[y * stride + x] = rest[y * restStride + x]; };
    rasteriseLine(px1, py1, px2, py2, w, h, [&](int x, int y) {
        if (mark_ == 1) copy(x, y);
        else markSquare(x, y, copy);
    });
    markDirty(markedRect(std::min(px1, px2), std::min(py1, py2), std::max(px1, px2), std::max(py1, py2)));
}

void ImageCanvas::filledBox(float x1, float y1, float x2, float y2, int colour) {
    if (anyNaN({x1, y1, x2, y2})) return;
    const uint32_t rgb = paletteRgb(colour);
    const long long px1 = pixelX(x1), py1 = pixelY(y1), px2 = pixelX(x2), py2 = pixelY(y2);
    const int l = int(std::max<long long>(std::min(px1, px2), 0));
    const int r = int(std::min<long long>(std::max(px1, px2) + mark_ - 1, image_.width() - 1));
    const int t = int(std::max<long long>(std::min(py1, py2), 0));
    const int b = int(std::min<long long>(std::max(py1, py2) + mark_ - 1, image_.height() - 1));
    if (l > r || t > b) return;
    for (int y = t; y <= b; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image_.scanLine(y));
        std::fill(row + l, row + r + 1, rgb);
    }
    markDirty(QRect(QPoint(l, t), QPoint(r, b)));
}

void ImageCanvas::circle(float x, float y, float radius) {
    const int w = image_.width(), h = image_.height();
    const double fx = w / scale_.width, fy = h / scale_.height;
    const double cx = (static_cast<double>(x) - scale_.left) * fx;
    const double cy = (static_cast<double>(y) - scale_.top) * fy;
    const double r = std::fabs(static_cast<double>(radius) * fx);
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return;
    if (cx + r < -1 || cy + r < -1 || cx - r > w + 1 || cy - r > h + 1) return;
    const uint32_t rim = paletteRgb(fore_), inside = paletteRgb(fill_);
    const double r2 = r * r;
    auto within = [&](long long i, long long j) {
        const double dx = i + 0.5 - cx, dy = j + 0.5 - cy;
        return dx * dx + dy * dy <= r2;
    };
    const long long left = static_cast<long long>(std::floor(cx - r)) - 1;
    const long long right = static_cast<long long>(std::floor(cx + r)) + 1;
    const long long top = static_cast<long long>(std::floor(cy - r)) - 1;
    const long long bottom = static_cast<long long>(std::floor(cy + r)) + 1;
    bool any = false;
    // One detach check for the whole shape rather than one per pixel: the
    // stepper draws two dots per lit cell on every tick.
    uint32_t* const base = reinterpret_cast<uint32_t*>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / 4;
    for (long long j = std::max<long long>(top, 0); j <= std::min<long long>(bottom, h - 1); ++j) {
        uint32_t* const row = base + j * stride;
        for (long long i = std::max<long long>(left, 0); i <= std::min<long long>(right, w - 1); ++i) {
            if (!within(i, j)) continue;
            any = true;
            // The rim is a mark wide; the disc is convex, so the pixel a mark
            // away on each side tells whether any nearer one lies outside.
            const bool edge = !within(i - mark_, j) || !within(i + mark_, j) || !within(i, j - mark_) ||
                              !within(i, j + mark_);
            row[i] = edge ? rim : inside;
        }
    }
    const long long ci = static_cast<long long>(std::floor(cx)), cj = static_cast<long long>(std::floor(cy));
    if (!any && !within(ci, cj) && ci >= 0 && ci < w && cj >= 0 && cj < h)
        markSquare(int(ci), int(cj), [&](int i, int j) { plot(i, j, rim); });
    markDirty(markedRect(left, top, right, bottom));
}

QRect ImageCanvas::markedRect(long long left, long long top, long long right, long long bottom) const {
    const int w = image_.width(), h = image_.height();
    return QRect(QPoint(int(std::clamp<long long>(left, 0, w - 1)), int(std::clamp<long long>(top, 0, h - 1))),
                 QPoint(int(std::clamp<long long>(right + mark_ - 1, 0, w - 1)),
                        int(std::clamp<long long>(bottom + mark_ - 1, 0, h - 1))));
}

void ImageCanvas::setMarkSize(int pixels) {
    pixels = std::max(pixels, 1);
    if (pixels == mark_) return;
    mark_ = pixels;
    dropResting();
}

void ImageCanvas::setScale(const UserScale& scale) {
    if (scale == scale_) return;
    scale_ = scale;
    dropResting();
}

void ImageCanvas::resize(int pixelWidth, int pixelHeight) {
    pixelWidth = std::max(pixelWidth, 1);
    pixelHeight = std::max(pixelHeight, 1);
    if (pixelWidth == image_.width() && pixelHeight == image_.height()) return;
    QImage grown(pixelWidth, pixelHeight, QImage::Format_RGB32);
    grown.fill(background_);
    {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
    dropResting();
    markDirty(image_.rect());
}

void ImageCanvas::setBackground(uint32_t rgb) {
    if (background_ == rgb) return;
    background_ = rgb;
    dropResting();
}

long long ImageCanvas::pixelX(float x) const { return userToPixel(x, scale_.left, scale_.width, image_.width()); }
long long ImageCanvas::pixelY(float y) const { return userToPixel(y, scale_.top, scale_.height, image_.height()); }
double ImageCanvas::userX(double px) const { return pixelToUser(px, scale_.left, scale_.width, image_.width()); }
double ImageCanvas::userY(double py) const { return pixelToUser(py, scale_.top, scale_.height, image_.height()); }

void ImageCanvas::markDirty(const QRect& r) {
    if (r.isEmpty()) return;
    const bool wasClean = dirty_.isEmpty();
    dirty_ |= r;
    if (wasClean && listener_) listener_();
}

QRect ImageCanvas::takeDirty() { return std::exchange(dirty_, QRect()); }

void ImageCanvas::keepResting(uint64_t key) {
    resting_ = image_.copy();
    restingKey_ = key;
    hasResting_ = true;
}

bool ImageCanvas::restoreResting(uint64_t key) {
    if (!hasResting_ || key != restingKey_ || resting_.size() != image_.size()) return false;
    std::memcpy(image_.bits(), resting_.constBits(), static_cast<std::size_t>(image_.sizeInBytes()));
    markDirty(image_.rect());
    return true;
}

void ImageCanvas::dropResting() {
    hasResting_ = false;
    resting_ = QImage();
}

}  // namespace cellsonify
