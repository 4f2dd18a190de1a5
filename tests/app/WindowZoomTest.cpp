// The window at every zoom: captions fit their rectangles, and the drawings
// are drawn again at the new size (lines at the scaled places, still one
// pixel wide) rather than stretched.
#include "AppTestSupport.h"

#include "face/WindowZoom.h"
#include "drawing/Palette.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <cmath>

using namespace cellsonify;
using namespace apptest;

namespace {

// Every caption the window shows that does not fit the rectangle it is drawn in.
std::vector<std::string> clippedCaptions(QWidget& form) {
    std::vector<std::string> clipped;
    auto check = [&](QWidget& w, const QString& text, const QRect& room) {
        const QFontMetrics fm(w.font());
        const QRect ink = fm.tightBoundingRect(text);
        if (fm.horizontalAdvance(text) > room.width() || ink.height() > room.height())
            clipped.push_back(w.objectName().toStdString() + " \"" + text.toStdString() + "\" needs " +
                              std::to_string(fm.horizontalAdvance(text)) + "x" + std::to_string(ink.height()) +
                              " in " + std::to_string(room.width()) + "x" + std::to_string(room.height()));
    };
    for (QLabel* l : form.findChildren<QLabel*>())
        if (!l->text().isEmpty()) check(*l, l->text(), l->contentsRect());
    for (QRadioButton* b : form.findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        check(*b, b->text(), b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b));
    }
    for (QPushButton* b : form.findChildren<QPushButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        check(*b, b->text(), b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b));
    }
    return clipped;
}

// Columns of `image` holding a pixel of `rgb`, left to right.
std::vector<int> columnsWith(const QImage& image, QRgb rgb) {
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == rgb) {
                columns.push_back(x);
                break;
            }
    return columns;
}

// Each of `at100`'s columns scaled by `factor` is where `zoomed` has it, give or
// take the pixel the 100 % picture rounds within (scaled) and the zoomed one.
void expectScaled(const std::vector<int>& at100, const std::vector<int>& zoomed, double factor, const char* what) {
    ASSERT_FALSE(at100.empty()) << what;
    ASSERT_EQ(at100.size(), zoomed.size()) << what;
    for (std::size_t i = 0; i < at100.size(); ++i)
        EXPECT_NEAR(zoomed[i], at100[i] * factor + factor / 2 - 0.5, factor / 2 + 0.5 + 1e-9) << what << " line " << i;
}

using WindowZoom = WindowFixture;

}  // namespace

TEST_F(WindowZoom, EveryCaptionFitsAtEveryZoomAndWhateverTheDesktopFont) {
    files.models["/data/big.txt"] = viewstest::makeModel(100000, std::vector<std::vector<int>>(1500, {1}));
    openNow(*window, "/data/big.txt");  // the widest counts: 1500 cells, 100000 frames
    window->show();
    for (double zoom : kZoomSteps) {
        window->setZoom(zoom);
        EXPECT_EQ(clippedCaptions(*window), std::vector<std::string>{}) << "at " << zoom;
    }
    // A desktop with a large font (what a 144-dpi font setting does to points) changes nothing.
    const QFont desktop = QApplication::font();
    QFont large = desktop;
    large.setPointSizeF(desktop.pointSizeF() * 2);
    QApplication::setFont(large);
    SetUp();
    openNow(*window, "/data/big.txt");
    window->show();
    for (double zoom : kZoomSteps) {
        window->setZoom(zoom);
        EXPECT_EQ(clippedCaptions(*window), std::vector<std::string>{}) << "large font at " << zoom;
    }
    QApplication::setFont(desktop);
}

TEST_F(WindowZoom, TheCountLabelsShowEveryDigit) {
    files.models["/data/big.txt"] = viewstest::makeModel(100000, std::vector<std::vector<int>>(1500, {1}));
    openNow(*window, "/data/big.txt");
    window->show();
    for (const char* name : {"Label3", "Label4"}) {
        QLabel& count = control<QLabel>(name);
        EXPECT_LE(count.fontMetrics().horizontalAdvance(count.text()), count.width()) << name;
        EXPECT_GE(count.x(), 0) << name << " starts inside the window";
        EXPECT_LE(count.geometry().right(), window->width() - 1) << name;
    }
}

TEST_F(WindowZoom, DrawingsAreDrawnAgainAtTwiceTheSize) {
    files.models["/data/z.txt"] = viewstest::makeModel(100, {{10, 50}, {30}, {90}});
    openNow(*window, "/data/z.txt");
    window->show();
    window->playback().seek(70);

    auto snapshot = [&] {
        struct Shot {
            std::vector<int> marks, cursors, keys;
            int markHeight = 0;
            QSize raster, keyboard;
            QImage form;
        } s;
        const QImage raster = uievents::shownClient(window->raster());
        s.raster = raster.size();
        s.marks = columnsWith(raster, paletteRgb(kLightBlue));  // light blue activity marks
        s.cursors = columnsWith(raster, kRedRgb);
        for (int y = 0; y < raster.height(); ++y) s.markHeight += raster.pixel(s.marks.at(0), y) == paletteRgb(kLightBlue);
        const QImage keys = uievents::shownClient(window->keyboard());
        s.keyboard = keys.size();
        for (int x = 0; x < keys.width(); ++x)
            if (keys.pixel(x, keys.height() - 1) == kBlackRgb) s.keys.push_back(x);  // separators at the bottom
        s.form = uievents::shown(*window);
        return s;
    };
    const auto at100 = snapshot();
    window->setZoom(2.0);
    const auto at200 = snapshot();

    EXPECT_NEAR(at200.raster.width(), 2.0 * at100.raster.width(), 2.5);
    const double fx = double(at200.raster.width()) / at100.raster.width();
    expectScaled(at100.marks, at200.marks, fx, "activity marks");
    expectScaled(at100.cursors, at200.cursors, fx, "frame cursors");
    expectScaled(at100.keys, at200.keys, double(at200.keyboard.width()) / at100.keyboard.width(), "key separators");
    // Redrawn, not stretched: a mark is still one pixel wide and twice as tall.
    EXPECT_EQ(at200.marks.size(), at100.marks.size());
    EXPECT_NEAR(at200.markHeight, 2 * at100.markHeight, 2);
    // The window's own tick at the top of the cell axis (285..480 twips across, 120 down).
    EXPECT_EQ(at100.form.pixel(25, 8), kBlackRgb);
    EXPECT_EQ(at200.form.pixel(50, 16), kBlackRgb);
    EXPECT_EQ(window->size(), MainWindow::layoutSize(2.0));
    EXPECT_EQ(control("Raster").geometry().topLeft(), QPoint(48, 16));
}

TEST(WindowZoomSteps, TheStartZoomSuitsTheScreenAndStepsStopAtTheEnds) {
    const QSize layout = MainWindow::layoutSize(1.0);
    EXPECT_EQ(zoomForScreen(96, layout, {}), 1.0);
    EXPECT_EQ(zoomForScreen(144, layout, {}), 1.5);
    EXPECT_EQ(zoomForScreen(192, layout, {}), 2.0);
    EXPECT_EQ(zoomForScreen(288, layout, {}), 3.0);
    EXPECT_EQ(zoomForScreen(120, layout, {}), 1.0);
    EXPECT_EQ(zoomForScreen(288, layout, QSize(1280, 1000)), 2.0) << "a window larger than the screen is not chosen";
    EXPECT_EQ(nextZoom(1.0, +1), 1.5);
    EXPECT_EQ(nextZoom(3.0, +1), 3.0);
    EXPECT_EQ(nextZoom(1.5, -1), 1.0);
    EXPECT_EQ(nextZoom(1.0, -1), 1.0);
    EXPECT_EQ(nextZoom(1.75, -1), 1.5);
    EXPECT_EQ(nearestZoom(2.2), 2.0);
}
