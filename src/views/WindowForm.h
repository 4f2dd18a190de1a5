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
    // `model`, its resting views, and the cursors at its play position.
    void showLoadedRecording(const CellModel& model);
    // RedrawViews of `model` on the raster and the cell map.
    void redrawViews(const CellModel& model);
    // DrawKeyboard on the keyboard view.
    void drawKeyboard();
    // Moves the three frame cursors to `frame` in their views' current units.
    void moveCursors(double frame);
    // Shows or hides STOPK (over PLAYK).
    void setStopButtonVisible(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;

    MainWindowControls controls_;
    KeyRect keys_;
};

}  // namespace cellsonify
