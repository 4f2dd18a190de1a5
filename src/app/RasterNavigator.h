#pragma once

#include "face/UserScale.h"

#include <QObject>
#include <QPointF>

#include <optional>

namespace cellsonify {

class MainWindow;

// Zooming and scrolling the main window's raster with the mouse: the wheel
// zooms time around the pointer, Shift+wheel zooms the rows, and dragging
// with the middle button moves the window (the middle button does not seek;
// the others still do). Watches the raster widget's events.
class RasterNavigator : public QObject {
    Q_OBJECT
public:
    explicit RasterNavigator(MainWindow& window);  // a child of `window`

    // Zoom in (or out, < 1) by this factor per wheel notch (120 eighths of a degree).
    static constexpr double kNotchZoom = 1.25;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool wheel(QEvent* event);
    bool middleDrag(QEvent* event);

    MainWindow& window_;
    // The raster widget, kept so that events reaching it while the window is
    // being taken down are told apart without asking the half-destroyed window.
    const QObject* raster_;
    std::optional<QPointF> dragFrom_;  // where the middle button went down
    UserScale dragWindow_;              // the window then
};

}  // namespace cellsonify
