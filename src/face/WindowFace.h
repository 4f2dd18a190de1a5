#pragma once

#include "drawing/KeyGeometry.h"
#include "face/FaceStrips.h"
#include "face/FaceViews.h"
#include "face/ViewBox.h"

#include <QImage>
#include <QPixmap>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace cellsonify {

struct CellModel;

// What the window's controls show besides the views.
struct FaceControls {
    QString cellCount = QStringLiteral("1");   // the counts' captions
    QString frameCount = QStringLiteral("1");
    QString bottomRow = QStringLiteral(" 1");  // the other ends of the raster's axes
    QString firstFrame = QStringLiteral("0");
    QString speed = QStringLiteral("50");      // the speed box's text
    std::size_t instrument = 0;                // the selected instrument option (0 = Piano)
    bool soundOn = false;                      // "Sound ON" selected rather than "Sound OFF"
    bool stopShown = false;                    // the stop picture over the play picture
};

// The window's face without a widget, at zoom 1: the four views and the
// strips (drawn on as the window's are) and the rest of the controls, painted
// from the window's layout table onto an image. Needs a QGuiApplication
// (fonts and pixmaps).
class WindowFace {
public:
    // The face at start-up: the views in their start scales with their
    // overlay lines, the keyboard drawn, nothing loaded.
    WindowFace();
    WindowFace(const WindowFace&) = delete;
    WindowFace& operator=(const WindowFace&) = delete;

    FaceViews views();
    ViewBox& raster() { return raster_; }
    ViewBox& frameStrip() { return frameStrip_; }
    ViewBox& cellMap() { return cellMap_; }
    ViewBox& keyboard() { return keyboard_; }
    KeyRect& keys() { return keys_; }
    FaceControls& controls() { return controls_; }

    // The counts, scales, resting views, strips and cursors of `model`, as the
    // window shows it loaded; the face takes the room of the strips it has.
    void showLoadedRecording(const CellModel& model);
    // Shows `window` of `model` on the raster (see RasterWindow.h) with the axis captions to match.
    void showRasterWindow(const CellModel& model, const UserScale& window);
    // When `frame` lies outside the raster's window, moves it on (followFrame); true if it moved.
    bool followFrame(const CellModel& model, double frame);
    // DrawKeyboard on the keyboard view.
    void drawKeyboard();

    // The window's size at zoom 1 with the strips shown.
    QSize size() const;
    // The strips shown (faceStrips() order).
    const StripsShown& stripsShown() const { return shown_; }
    // The box of strip `index` of faceStrips().
    ViewBox& strip(std::size_t index) { return *strips_.at(index); }
    // Paints the whole face over `picture`, which must be size() (RGB32).
    void paint(QImage& picture) const;

private:
    void showAxisLabels(const CellModel& model);

    ViewBox raster_, frameStrip_, cellMap_, keyboard_;
    std::vector<std::unique_ptr<ViewBox>> strips_;  // one per faceStrips() entry
    StripsShown shown_ = noStrips();
    KeyRect keys_;
    FaceControls controls_;
    QPixmap back_, play_, stop_, cellAxis_;
};

}  // namespace cellsonify
