#include "face/ImageCanvas.h"
#include "drawing/Palette.h"
#include "support/RecordingCanvas.h"
#include "views/ViewsTestModels.h"

#include <gtest/gtest.h>

using namespace cellsonify;

namespace {

constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kRedRgb = 0xFFFF0000;
constexpr QRgb kGrey = 0xFFC0C0C0;
constexpr QRgb kBlackRgb = 0xFF000000;

QRgb at(const ImageCanvas& c, int x, int y) { return c.image().pixel(x, y); }

// Pixels differing from white, as (x, y) pairs in row order.
std::vector<std::pair<int, int>> marked(const ImageCanvas& c) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < c.pixelHeight(); ++y)
        for (int x = 0; x < c.pixelWidth(); ++x)
            if (at(c, x, y) != kWhiteRgb) out.emplace_back(x, y);
    return out;
}

}  // namespace

TEST(ImageCanvasScale, UserCoordinatesMapToPixelsWithFloor) {
    ImageCanvas c(495, 170);
    c.setScale({0, 0, 1000, 17});
    EXPECT_EQ(c.pixelX(0.0f), 0);
    EXPECT_EQ(c.pixelX(1.0f), 0);      // 0.495 px
    EXPECT_EQ(c.pixelX(3.0f), 1);      // 1.485 px
    EXPECT_EQ(c.pixelX(1000.0f), 495);  // right edge lies just outside
    EXPECT_EQ(c.pixelX(-1.0f), -1);
    EXPECT_EQ(c.pixelY(8.5f), 85);
    EXPECT_DOUBLE_EQ(c.userX(99), 200.0);
    c.setScale({10, -2, 495, 170});
    EXPECT_EQ(c.pixelX(10.0f), 0);
    EXPECT_EQ(c.pixelY(0.0f), 2);
    EXPECT_DOUBLE_EQ(c.userX(5.5), 15.5);
}

TEST(ImageCanvasScale, FarAndNonFiniteCoordinatesAreClippedNotWrapped) {
    ImageCanvas c(20, 10);
    c.setScale({0, 0, 20, 10});
    c.line(-1e30f, 5, 1e30f, 5, kLightRed);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(at(c, x, 5), kRedRgb) << x;
    c.clear();
    c.line(std::numeric_limits<float>::quiet_NaN(), 2, 3, 2, kLightRed);
    c.filledBox(std::numeric_limits<float>::infinity(), 0, 5, 9, kLightRed);
    c.circle(std::numeric_limits<float>::quiet_NaN(), 2, 3);
    // nothing outside rows 0..9 / columns 0..19 was written (ASan watches), and the box reaches the right edge
    EXPECT_EQ(at(c, 19, 9), kRedRgb);
    EXPECT_EQ(at(c, 4, 4), kWhiteRgb);
    EXPECT_EQ(at(c, 0, 2), kWhiteRgb);  // the NaN line drew nothing
}

TEST(ImageCanvasLine, IncludesBothEndsAndASubPixelMarkLightsOnePixel) {
    ImageCanvas c(10, 10);
    c.setScale({0, 0, 10, 10});
    c.line(2, 3, 6, 3, kLightBlue);
    auto px = marked(c);
    ASSERT_EQ(px.size(), 5u);
    EXPECT_EQ(px.front(), std::make_pair(2, 3));
    EXPECT_EQ(px.back(), std::make_pair(6, 3));
    EXPECT_EQ(at(c, 4, 3), kBlue);

    c.clear();
    c.setScale({0, 0, 1000, 1000});
    c.line(501, 502, 501.5f, 503, kLightBlue);  // far below one pixel
    px = marked(c);
    ASSERT_EQ(px.size(), 1u);
    EXPECT_EQ(px[0], std::make_pair(5, 5));
}

TEST(ImageCanvasLine, DiagonalsAreContinuousAndClippingNeverMovesAPixel) {
    // The same segment drawn on a large image and on a window into it lights
    // the same pixels where they overlap.
    ImageCanvas whole(60, 40), window(20, 15);
    whole.setScale({0, 0, 60, 40});
    window.setScale({25, 10, 20, 15});
    for (auto [x1, y1, x2, y2] : {std::array<float, 4>{1, 2, 58, 37}, {59, 1, 3, 39}, {30, -100, 31, 140},
                                  {-200, 12, 300, 19}}) {
        whole.clear();
        window.clear();
        whole.line(x1, y1, x2, y2, kLightRed);
        window.line(x1, y1, x2, y2, kLightRed);
        int compared = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x, ++compared)
                ASSERT_EQ(at(window, x, y), at(whole, x + 25, y + 10)) << x << "," << y << " of " << x1 << "," << y1;
        EXPECT_EQ(compared, 300);
    }
    // one pixel per step along the major axis, never a gap
    whole.clear();
    whole.line(1, 2, 58, 37, kLightRed);
    for (int x = 1; x <= 58; ++x) {
        int inColumn = 0;
        for (int y = 0; y < 40; ++y) inColumn += at(whole, x, y) == kRedRgb;
        EXPECT_EQ(inColumn, 1) << x;
    }
    EXPECT_EQ(at(whole, 1, 2), kRedRgb);
    EXPECT_EQ(at(whole, 58, 37), kRedRgb);
}

TEST(ImageCanvasBox, CoversThePixelSpanOfItsCornersInEitherOrder) {
    ImageCanvas c(50, 20);
    c.setScale({0, 0, 25, 10});  // 2 px per unit
    c.filledBox(10, 8, 3, 1.4f, kBlack);
    const auto px = marked(c);
    // x pixels 6..20, y pixels 2..16
    EXPECT_EQ(px.size(), 15u * 15u);
    EXPECT_EQ(px.front(), std::make_pair(6, 2));
    EXPECT_EQ(px.back(), std::make_pair(20, 16));
    EXPECT_EQ(at(c, 20, 16), kBlackRgb);
    EXPECT_EQ(at(c, 21, 16), kWhiteRgb);
}

TEST(ImageCanvasCircle, RimInForeColourInsideInFillColourCentredOnItsPoint) {
    ImageCanvas c(101, 101);
    c.setScale({0, 0, 1, 1});
    c.setForeColour(kLightRed);
    c.setFillColour(kLightBlue);
    c.circle(0.5f, 0.5f, 0.1f);  // radius 10.1 px around the centre of pixel 50
    EXPECT_EQ(at(c, 50, 50), kBlue);
    EXPECT_EQ(at(c, 60, 50), kRedRgb);  // rim
    EXPECT_EQ(at(c, 40, 50), kRedRgb);
    EXPECT_EQ(at(c, 50, 40), kRedRgb);
    EXPECT_EQ(at(c, 50, 60), kRedRgb);
    EXPECT_EQ(at(c, 61, 50), kWhiteRgb);
    EXPECT_EQ(at(c, 59, 50), kBlue);
    const auto px = marked(c);
    int sx = 0, sy = 0;
    for (auto [x, y] : px) sx += x, sy += y;
    EXPECT_EQ(sx, 50 * int(px.size()));  // symmetric about the centre
    EXPECT_EQ(sy, 50 * int(px.size()));
    EXPECT_NEAR(double(px.size()), 3.14159 * 10.1 * 10.1, 25.0);
}

TEST(ImageCanvasCircle, RadiusIsInHorizontalUnitsAndATinyCircleStillShows) {
    ImageCanvas c(200, 100);
    c.setScale({0, 0, 2, 10});  // 100 px per horizontal unit, 10 per vertical
    c.setForeColour(kBlack);
    c.setFillColour(kBlack);
    c.circle(1, 5, 0.05f);  // 5 px radius both ways, not 0.5 px vertically
    int rows = 0;
    for (int y = 0; y < 100; ++y) rows += at(c, 100, y) == kBlackRgb;
    EXPECT_EQ(rows, 10);
    c.clear();
    c.circle(0.004f, 0.04f, 0.001f);
    const auto px = marked(c);
    ASSERT_EQ(px.size(), 1u);
    EXPECT_EQ(px[0], std::make_pair(0, 0));
}

TEST(ImageCanvasState, ClearPaintsTheBackgroundAndResizingKeepsWhatFits) {
    ImageCanvas c(10, 10);
    c.setScale({0, 0, 10, 10});
    c.filledBox(0, 0, 9, 9, kLightRed);
    c.resize(20, 5);
    EXPECT_EQ(at(c, 9, 4), kRedRgb);
    EXPECT_EQ(at(c, 10, 4), kWhiteRgb);
    c.setBackground(kGrey);
    c.clear();
    EXPECT_EQ(viewstest::countColour(c.image(), kGrey), 100);
}

TEST(ImageCanvasState, DirtyRegionCoversOnlyWhatWasDrawnAndNotifiesOncePerBatch) {
    ImageCanvas c(100, 50);
    c.setScale({0, 0, 100, 50});
    int notified = 0;
    c.setChangeListener([&] { ++notified; });
    c.line(10, 5, 10, 8, kLightRed);
    c.line(12, 20, 14, 20, kLightRed);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(c.takeDirty(), QRect(QPoint(10, 5), QPoint(14, 20)));
    EXPECT_TRUE(c.takeDirty().isEmpty());
    c.filledBox(90, 40, 200, 200, kLightRed);
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(c.takeDirty(), QRect(QPoint(90, 40), QPoint(99, 49)));
}

TEST(ImageCanvasState, RestingCopyComesBackOnlyUnderItsKeyScaleAndSize) {
    ImageCanvas c(30, 30);
    c.setScale({0, 0, 30, 30});
    c.line(1, 1, 20, 20, kLightBlue);
    const QImage drawn = c.image().copy();
    c.keepResting(7);
    c.line(0, 29, 29, 0, kLightRed);
    EXPECT_FALSE(c.restoreResting(8));
    EXPECT_NE(c.image(), drawn);
    EXPECT_TRUE(c.restoreResting(7));
    EXPECT_EQ(c.image(), drawn);
    c.setScale({0, 0, 60, 60});
    EXPECT_FALSE(c.restoreResting(7));
    c.keepResting(9);
    c.resize(31, 30);
    EXPECT_FALSE(c.restoreResting(9));
}
