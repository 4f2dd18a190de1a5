#pragma once

#include "face/ViewBox.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

namespace cellsonify {

// A drawing view: a ViewBox (a persistent image inside a flat 1-pixel border,
// drawn on through its ImageCanvas in user coordinates, with overlay lines on
// top) as a widget. Painting only copies the box to the screen, so whatever
// was drawn survives being covered. Changes to the image repaint only the
// region they touched, once per pass of the event loop.
class CanvasView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = ViewBox::kBorder;

    explicit CanvasView(QWidget* parent = nullptr);
    ~CanvasView() override;

    // Places the box (outer rectangle, border included) and sizes the image to
    // the client area at once, shown or not. The overlay lines scale with the
    // client area; the image keeps its pixels until drawn again.
    void setBoxGeometry(const QRect& outer);
    // The client area in widget pixels (size - 2 px each way).
    QSize clientSize() const { return box_.clientSize(); }
    // The drawing surface, at the screen's resolution: its size is the client
    // area's times the widget's device pixel ratio.
    ImageCanvas& canvas() { return box_.canvas(); }
    const ImageCanvas& canvas() const { return box_.canvas(); }
    // The widget-free view it shows.
    ViewBox& box() { return box_; }
    const ViewBox& box() const { return box_; }
    // Sets the user scale (left, top, width, height) of the client area.
    void setScale(double left, double top, double width, double height);
    const UserScale& scale() const { return box_.scale(); }
    // Client-pixel x (unfloored) of user x under the current scale.
    double toPixelX(double x) const;
    double toPixelY(double y) const;
    // User x / y at a client-pixel position (fractions allowed).
    double userX(double px) const { return box_.userX(px); }
    double userY(double py) const { return box_.userY(py); }

    // Adds an overlay line in client pixels; the box owns it.
    OverlayLine& addLine(const QString& name, const QLineF& pixels, uint32_t rgb);
    // The overlay named `name`, or nullptr.
    OverlayLine* line(const QString& name);
    const std::vector<std::unique_ptr<OverlayLine>>& lines() const { return box_.lines(); }

    // Whether dropped files are taken (and reported by filesDropped).
    void setAcceptsFiles(bool accepts);
    bool acceptsFiles() const { return acceptsFiles_; }

    // Schedules a repaint of the pixels under `pixels` (client pixels); for overlays.
    void repaintLine(const QLineF& pixels);

signals:
    // Any mouse button went down at user x `x` (current scale, not rounded).
    void pressed(double x);
    // Files were dropped (local paths in drop order; never an empty list).
    void filesDropped(const QStringList& paths);
    // The widget moved to a screen of another resolution: the image has its
    // new size and must be drawn again.
    void resolutionChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void flushDirty();
    // Takes the widget's device pixel ratio; true if it changed.
    bool followResolution();

    ViewBox box_;
    bool acceptsFiles_ = false;
    bool flushPending_ = false;
};

}  // namespace cellsonify
