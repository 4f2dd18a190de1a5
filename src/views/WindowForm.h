#pragma once

#include "drawing/KeyGeometry.h"
#include "views/MainWindowControls.h"

#include <QWidget>

namespace cellsonify {

struct CellModel;

// The main window's face: its controls at their fixed places, its font,
// colours, size and backdrop, and how it shows a recording, the play
// position and the resting views. The window adds what the controls do;
// movies and pictures draw the same face offscreen, so both show the same
// pixels by construction.
class WindowForm : public QWidget {
    Q_OBJECT
public:
    explicit WindowForm(QWidget* parent = nullptr);

    const MainWindowControls& controls() const { return controls_; }
    KeyRect& keys() { return keys_; }
    const KeyRect& keys() const { return keys_; }

    // The cell and frame counts and the raster's and frame strip's scales of
    // `model`, its resting views and strips, and the cursors at its play position.
    void showLoadedRecording(const CellModel& model);
    // RedrawViews of `model` on the raster and the cell map, and its strips
    // (the window growing or shrinking when it gains or loses one).
    void redrawViews(const CellModel& model);
    // DrawKeyboard on the keyboard view.
    void drawKeyboard();
    // Moves the three frame cursors to `frame` in their views' current units.
    void moveCursors(double frame);
    // Shows `window` of `model` on the raster (see RasterWindow.h), with the axis captions to match.
    void showRasterWindow(const CellModel& model, const UserScale& window);
    // The part of the recording the raster shows.
    UserScale rasterWindow() const;
    // When `frame` lies outside the raster's window, moves it on (followFrame); true if it moved.
    bool followFrame(const CellModel& model, double frame);
    // Shows or hides STOPK (over PLAYK).
    void setStopButtonVisible(bool visible);
    // The window's zoom (1: the layout's own size) and its size at `zoom`
    // without strips; sizeAt adds the room of the strips shown.
    double zoom() const { return zoom_; }
    static QSize layoutSize(double zoom);
    QSize sizeAt(double zoom) const;
    // Places every control, caption and picture at `zoom` and redraws the
    // keyboard at its new size; false (nothing done) for zoom <= 0 or the
    // zoom already shown. The resting views are the caller's to redraw.
    bool applyZoom(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Told that the strips shown changed the window's size (already resized).
    virtual void stripsResized() {}

    void showAxisLabels(const CellModel& model);
    // Shows the strips `model` has, making room for them; true when the size changed.
    bool showStripsOf(const CellModel& model);

    MainWindowControls controls_;
    KeyRect keys_;
    double zoom_ = 1.0;
};

}  // namespace cellsonify
