#pragma once

#include "face/ImageCanvas.h"
#include "face/OverlayLine.h"

#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace cellsonify {

// A drawing view without a widget: a persistent image inside a flat 1-pixel
// black border, drawn on through its ImageCanvas in user coordinates, with
// overlay lines on top. The window's view widgets and the pictures of a pass
// both paint through paint(), so they show the same pixels by construction.
class ViewBox {
public:
    static constexpr int kBorder = 1;

    ViewBox();

    // Sizes the box (border included, in box pixels); the image takes the
    // client area at once, and the overlay lines scale with it. The image keeps
    // its pixels until drawn again.
    void resize(const QSize& outer);
    QSize size() const { return client_ + QSize(2 * kBorder, 2 * kBorder); }
    // The client area in box pixels (size - 2 px each way).
    QSize clientSize() const { return client_; }
    // Device pixels per box pixel (a screen's scaling; 1 at construction): the
    // image is drawn at the client size times this, its marks as wide as a box
    // pixel (rounded), and painted one device pixel per image pixel. The box's
    // geometry, overlays and user scale stay in box pixels. The image keeps its
    // pixels until drawn again.
    void setDeviceRatio(double ratio);
    double deviceRatio() const { return ratio_; }
    // The drawing surface, in device pixels.
    ImageCanvas& canvas() { return canvas_; }
    const ImageCanvas& canvas() const { return canvas_; }
    // Sets the user scale (left, top, width, height) of the client area.
    void setScale(double left, double top, double width, double height);
    const UserScale& scale() const { return canvas_.scale(); }
    // Client-pixel x / y (unfloored) of user x / y under the current scale.
    double toPixelX(double x) const;
    double toPixelY(double y) const;
    // User x / y at a client-pixel position (fractions allowed).
    double userX(double px) const;
    double userY(double py) const;

    // Adds an overlay line in client pixels; the box owns it.
    OverlayLine& addLine(const QString& name, const QLineF& pixels, uint32_t rgb);
    // The overlay named `name`, or nullptr.
    OverlayLine* line(const QString& name);
    const std::vector<std::unique_ptr<OverlayLine>>& lines() const { return lines_; }

    // Reports the box pixels under `pixels` (client pixels) as needing a repaint; for overlays.
    void repaintLine(const QLineF& pixels);
    // Called with each box rectangle (border included) whose pixels changed
    // outside the image: an overlay moved, shown or hidden, or the box resized.
    void setRepaintListener(std::function<void(const QRect&)> listener) { repaint_ = std::move(listener); }

    // Paints the part of the box within `exposed` (box pixels) with its top-left
    // at the painter's origin: border, image, then the visible overlays. Leaves
    // the painter's clip set to the client area within `exposed`.
    void paint(QPainter& painter, const QRect& exposed) const;
    // Paints the whole box with its top-left at `topLeft`, leaving the painter as it was; for faces.
    void paintAt(QPainter& painter, const QPoint& topLeft) const;

private:
    void sizeImage();

    ImageCanvas canvas_;
    QSize client_{1, 1};
    double ratio_ = 1.0;
    std::vector<std::unique_ptr<OverlayLine>> lines_;
    std::function<void(const QRect&)> repaint_;
};

}  // namespace cellsonify
