#include "face/FaceViews.h"

#include "drawing/KeyGeometry.h"
#include "drawing/StripView.h"
#include "face/RasterWindow.h"
#include "face/RedrawViews.h"
#include "face/Twips.h"
#include "face/ViewBox.h"
#include "model/CellModel.h"

namespace cellsonify {

namespace {
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlack = 0xFF000000;
}  // namespace

void setUpFaceViews(const FaceViews& v) {
    v.raster.setScale(0, 0, kRasterStartScaleWidth, kRasterStartScaleHeight);
    v.frameStrip.setScale(0, 0, kFrameStripStartScaleWidth, kFrameStripScaleHeight);
    v.cellMap.setScale(0, 0, 1, 1);
    v.keyboard.setScale(0, 0, kKeyboardScaleWidth, kKeyboardScaleHeight);
    // Placed one unit of the raster's start scale left of the edge, i.e. out of sight until playback moves them.
    v.raster.addLine(kRasterBottomCursor, twipsLine(-13776, 2459, -13776, 9107), kRed);
    v.raster.addLine(kRasterTopCursor, twipsLine(-13776, 0, -13776, 91), kRed);
    v.raster.addLine(kScanLine, twipsLine(-13776, 0, -13776, 2641), kBlack);
    v.frameStrip.addLine(kFrameStripCursor, twipsLine(-20, 0, -20, 120), kRed);
    for (int k = 1; k <= kKeySeparators; ++k) {
        const double x = v.keyboard.toPixelX(3.0 * k);
        v.keyboard.addLine(QStringLiteral("KeyLine%1").arg(k), QLineF(x, 0, x, v.keyboard.toPixelY(6.4)), kBlack);
    }
    for (const StripBox& s : v.strips) {
        s.box.setScale(0, 0, kRasterStartScaleWidth, 1);
        s.box.addLine(kStripCursor, QLineF(-2, 0, -2, s.box.canvas().pixelHeight()), kRed);
    }
}

void paintStrips(const FaceViews& v, const CellModel& m) {
    const UserScale frames = v.raster.scale();
    for (const StripBox& s : v.strips) {
        s.box.setScale(frames.left, 0, frames.width, 1);
        ImageCanvas& canvas = s.box.canvas();
        s.view.paint(m, canvas, {frames.left, frames.width, canvas.pixelWidth(), canvas.pixelHeight()});
    }
}

void showRecordingOnViews(const FaceViews& v, const CellModel& m) {
    v.raster.setScale(0, 0, m.FrameCount, m.CellCount);
    const UserScale i = v.frameStrip.scale();
    v.frameStrip.setScale(i.left, i.top, m.FrameCount, i.height);
    RedrawViews(m, v.raster.canvas(), v.cellMap.canvas());
    paintStrips(v, m);
    moveFrameCursors(v, m.CurrentFrame);
}

void moveFrameCursors(const FaceViews& v, double frame) {
    std::vector<OverlayLine*> cursors{v.frameStrip.line(kFrameStripCursor), v.raster.line(kRasterBottomCursor),
                                      v.raster.line(kRasterTopCursor)};
    for (const StripBox& s : v.strips) cursors.push_back(s.box.line(kStripCursor));
    for (OverlayLine* cursor : cursors) {
        cursor->setX1(frame);
        cursor->setX2(frame);
    }
}

void showRasterWindow(const FaceViews& v, const CellModel& m, const UserScale& w) {
    v.raster.setScale(w.left, w.top, w.width, w.height);
    RedrawViews(m, v.raster.canvas(), v.cellMap.canvas());
    paintStrips(v, m);
    moveFrameCursors(v, m.CurrentFrame);
}

bool followFrame(const FaceViews& v, const CellModel& m, double frame) {
    const UserScale now = v.raster.scale();
    const UserScale next = rasterwindow::following(now, frame, m.FrameCount);
    if (next == now) return false;
    showRasterWindow(v, m, next);
    return true;
}

}  // namespace cellsonify
