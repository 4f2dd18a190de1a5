// Zooming and scrolling the raster with the mouse, the window following
// playback, and the axis captions showing what is in sight.
#include "AppTestSupport.h"

#include "face/RasterWindow.h"

#include <QWheelEvent>

using namespace cellsonify;
using namespace apptest;

namespace {

void wheel(QWidget& w, QPointF at, int eighths, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, eighths), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

void moveTo(QWidget& w, QPointF at, Qt::MouseButtons held) {
    QMouseEvent e(QEvent::MouseMove, at, w.mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

struct RasterZoom : WindowFixture {
    // 1000 frames, 4 cells: cell 1 active in frame 500, cell 4 in frame 100.
    void SetUp() override {
        WindowFixture::SetUp();
        files.models["/data/z.txt"] = viewstest::makeModel(1000, {{500}, {}, {}, {100}});
        openNow(*window, "/data/z.txt");
    }
    CanvasView& raster() { return window->raster(); }
    UserScale shownWindow() { return raster().scale(); }
    // The widget pixel x of frame `frame` and whether the raster shows blue there in cell 1's row.
    int widgetX(double frame) { return int(std::floor(raster().toPixelX(frame))) + CanvasView::kBorder; }
    bool blueAt(double frame, int cellRowY) {
        return uievents::shown(raster()).pixel(widgetX(frame), cellRowY) == kBlueRgb;
    }
};

}  // namespace

TEST_F(RasterZoom, TheWheelZoomsTimeAroundThePointerAndTheCaptionsShowTheFramesInSight) {
    const int y = raster().height() - 10;  // cell 1's row, at the foot
    ASSERT_TRUE(blueAt(500, y));
    const QPointF pointer(CanvasView::kBorder + 200.5, y);
    const double under = raster().canvas().userX(200.5);
    wheel(raster(), pointer, 2 * 120);  // two notches away from the user: zoom in
    const UserScale w = shownWindow();
    EXPECT_NEAR(w.width, 1000 / (1.25 * 1.25), 1e-9);
    EXPECT_NEAR(raster().canvas().userX(200.5), under, 1e-9);  // the frame under the pointer stays put
    EXPECT_EQ(w.height, 4);
    EXPECT_TRUE(blueAt(500, y));  // the mark is drawn again at its new place
    EXPECT_NE(widgetX(500), int(std::floor(500 * raster().canvas().pixelWidth() / 1000.0)) + CanvasView::kBorder);
    EXPECT_EQ(labelText("Label1_4"), QString::number(std::llround(w.left)));
    EXPECT_EQ(labelText("Label4"), QString::number(std::llround(w.left + w.width)));
    EXPECT_EQ(window->model().CurrentFrame, 0);  // the wheel does not seek

    wheel(raster(), pointer, -2 * 120);  // and back out to the whole
    EXPECT_EQ(shownWindow(), rasterwindow::whole(1000, 4));
    EXPECT_EQ(labelText("Label1_4"), QStringLiteral("0"));
    EXPECT_EQ(labelText("Label4"), QStringLiteral("1000"));
}

TEST_F(RasterZoom, ShiftWheelZoomsTheRowsAndTheCellCaptionsFollow) {
    wheel(raster(), {250, CanvasView::kBorder}, 8 * 120, Qt::ShiftModifier);  // at the top edge
    const UserScale w = shownWindow();
    EXPECT_EQ(w.width, 1000);
    EXPECT_EQ(w.top, 0);
    EXPECT_EQ(w.height, 1);  // never fewer than one row
    EXPECT_EQ(labelText("Label3"), QStringLiteral("4"));
    EXPECT_EQ(labelText("Label1_1"), QStringLiteral(" 4"));
    // Cell 4 (the top row) fills the raster: its mark at frame 100 runs from top to foot.
    const QImage shown = uievents::shown(raster());
    EXPECT_EQ(shown.pixel(widgetX(100), 2), kBlueRgb);
    EXPECT_EQ(shown.pixel(widgetX(100), raster().height() - 3), kBlueRgb);
    EXPECT_NE(shown.pixel(widgetX(500), raster().height() - 3), kBlueRgb);
}

TEST_F(RasterZoom, AMiddleDragScrollsWithoutSeekingAndALeftPressStillSeeks) {
    window->showRasterWindow({0, 0, 100, 4});
    const int y = raster().height() - 10;
    uievents::press(raster(), {300, y}, Qt::MiddleButton);
    moveTo(raster(), {200, y}, Qt::MiddleButton);
    uievents::release(raster(), {200, y}, Qt::MiddleButton);
    const double moved = 100.0 * 100 / raster().canvas().pixelWidth();
    EXPECT_NEAR(shownWindow().left, moved, 1e-9);
    EXPECT_EQ(window->model().CurrentFrame, 0);
    // Dragging far left stops at the end of the recording.
    uievents::press(raster(), {400, y}, Qt::MiddleButton);
    moveTo(raster(), {-5000, y}, Qt::MiddleButton);
    uievents::release(raster(), {-5000, y}, Qt::MiddleButton);
    EXPECT_EQ(shownWindow().left, 900);
    EXPECT_EQ(viewstest::countColour(uievents::shown(raster()), kBlueRgb), 0);  // no event after frame 900
    EXPECT_EQ(labelText("Label4"), QStringLiteral("1000"));

    uievents::press(raster(), {CanvasView::kBorder + 123.0, 40});
    EXPECT_DOUBLE_EQ(window->model().CurrentFrame, raster().canvas().userX(123));
    EXPECT_GT(window->model().CurrentFrame, 900);
}

TEST_F(RasterZoom, DuringPlaybackTheWindowTurnsToKeepTheCursorInSight) {
    window->showRasterWindow({0, 0, 100, 4});
    window->playback().seek(98);
    EXPECT_EQ(shownWindow().left, 0);
    window->playback().tick();  // 99: still in sight
    EXPECT_EQ(shownWindow().left, 0);
    window->playback().tick();  // 100: the page turns
    const UserScale w = shownWindow();
    EXPECT_EQ(w.width, 100);
    EXPECT_GT(w.left, 0);
    EXPECT_LT(w.left, 100);
    EXPECT_GT(raster().line(kRasterBottomCursor)->pixels().x1(), 0);
    EXPECT_LT(raster().line(kRasterBottomCursor)->pixels().x1(), raster().canvas().pixelWidth());
    // Seeking back on the frame strip brings that part into sight.
    uievents::press(window->frameStrip(), {CanvasView::kBorder + 2.0, 3});
    EXPECT_EQ(shownWindow().left, 0);
}

TEST_F(RasterZoom, WithAFrameRateTheCaptionsAlsoGiveSeconds) {
    CellModel m = viewstest::makeModel(1000, {{500}});
    m.FrameRate = 10;
    files.models["/data/rate.txt"] = m;
    openNow(*window, "/data/rate.txt");
    EXPECT_EQ(labelText("Label4"), QStringLiteral("1000"));  // the whole recording: as ever
    window->showRasterWindow({200, 0, 300, 1});
    EXPECT_EQ(labelText("Label1_4"), QStringLiteral("200 (20.0 s)"));
    EXPECT_EQ(labelText("Label4"), QStringLiteral("500 (50.0 s)"));
    // A new recording starts whole.
    openNow(*window, "/data/z.txt");
    EXPECT_EQ(shownWindow(), rasterwindow::whole(1000, 4));
    EXPECT_EQ(labelText("Label1_4"), QStringLiteral("0"));
}
