#include "face/RedrawViews.h"

#include "face/ImageCanvas.h"
#include "face/RasterDensity.h"
#include "drawing/CellDots.h"
#include "model/DataFileLoader.h"
#include "drawing/Palette.h"
#include "support/RecordingCanvas.h"
#include "views/ViewsTestModels.h"

#include <gtest/gtest.h>

using namespace cellsonify;
using viewstest::countColour;
using viewstest::makeModel;

namespace {

constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGrey = 0xFFC0C0C0;
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;

// The raster and cell map at their window sizes, scaled to `model`.
struct Views {
    ImageCanvas raster{495, 170};
    ImageCanvas map{231, 167};
    explicit Views(const CellModel& m) { raster.setScale({0, 0, double(m.FrameCount), double(m.CellCount)}); }
};

// Rows of column `x` that hold light blue.
std::vector<int> blueRows(const ImageCanvas& c, int x) {
    std::vector<int> rows;
    for (int y = 0; y < c.pixelHeight(); ++y)
        if (c.image().pixel(x, y) == kBlue) rows.push_back(y);
    return rows;
}

}  // namespace

TEST(RedrawViewsPicture, CellOneIsTheBottomRowAndTheLastCellTheTop) {
    // 3 cells, 10 frames: each cell's row is 170/3 px high, each frame 49.5 px wide.
    const CellModel m = makeModel(10, {{5}, {}, {5, 9}});
    Views v(m);
    RedrawViews(m, v.raster, v.map);
    const int x5 = int(5 * 49.5), x9 = int(9 * 49.5);
    std::vector<int> bottom, top;
    for (int y = int(2 * 170 / 3.0); y < 170; ++y) bottom.push_back(y);  // rows 113..169
    for (int y = 0; y <= int(170 / 3.0); ++y) top.push_back(y);          // rows 0..56
    std::vector<int> both = top;
    both.insert(both.end(), bottom.begin(), bottom.end());
    EXPECT_EQ(blueRows(v.raster, x5), both);
    EXPECT_EQ(blueRows(v.raster, x9), top);
    EXPECT_TRUE(blueRows(v.raster, x5 - 1).empty());
    EXPECT_TRUE(blueRows(v.raster, x5 + 1).empty());
    EXPECT_EQ(countColour(v.raster.image(), kBlue), int(both.size() + top.size()));
}

TEST(RedrawViewsPicture, FramesBeyondTheFrameCountAndFrameZeroAreNotDrawn) {
    const CellModel m = makeModel(10, {{3, 11, 12}, {10}});
    Views v(m);
    v.raster.setScale({0, 0, 20, 2});  // room to the right of frame 10, so a mark there would show
    RedrawViews(m, v.raster, v.map);
    EXPECT_FALSE(blueRows(v.raster, int(3 * 24.75)).empty());
    EXPECT_FALSE(blueRows(v.raster, int(10 * 24.75)).empty());
    EXPECT_TRUE(blueRows(v.raster, int(11 * 24.75)).empty());
    EXPECT_TRUE(blueRows(v.raster, int(12 * 24.75)).empty());
    EXPECT_TRUE(blueRows(v.raster, 0).empty());
    // and the same holds on the call-by-call path
    RecordingCanvas raster, map;
    RedrawViews(m, raster, map);
    std::vector<float> xs;
    for (const auto& c : raster.drawings()) xs.push_back(c.x1);
    EXPECT_EQ(xs, (std::vector<float>{3, 10}));
}

TEST(RedrawViewsPicture, CellMapDotsSitAtTheirPositionsInLightGrey) {
    const CellModel m = makeModel(4, {{1}, {}}, {{0.5, 0.5}, {0.1, 0.9}});
    Views v(m);
    v.map.setForeColour(kLightRed);
    RedrawViews(m, v.raster, v.map);
    EXPECT_EQ(v.map.image().pixel(115, 83), kGrey);  // 0.5 * 231, 0.5 * 167
    EXPECT_EQ(v.map.image().pixel(23, 150), kGrey);  // 0.1 * 231, 0.9 * 167
    EXPECT_EQ(v.map.image().pixel(200, 20), kWhiteRgb);
    const int dot = countColour(v.map.image(), kGrey) / 2;
    EXPECT_GE(dot, 9);  // radius 0.01 = 2.31 px
    EXPECT_LE(dot, 25);
    EXPECT_EQ(v.map.fillColour(), kLightGrey);
    EXPECT_EQ(v.map.foreColour(), kLightGrey);
}

TEST(RedrawViewsPicture, ClearsTheRasterThenTheMapAndDrawsEachCellsDotBeforeItsMarks) {
    const CellModel m = makeModel(6, {{2, 4}, {6}});
    RecordingCanvas raster, map;
    RedrawViews(m, raster, map);
    using Op = RecordingCanvas::Op;
    ASSERT_EQ(raster.calls.size(), 4u);
    EXPECT_EQ(raster.calls[0].op, Op::Clear);
    EXPECT_EQ(raster.calls[1], (RecordingCanvas::Call{Op::Line, 2, 1, 2, 2, kLightBlue}));
    EXPECT_EQ(raster.calls[3], (RecordingCanvas::Call{Op::Line, 6, 0, 6, 1, kLightBlue}));
    ASSERT_EQ(map.calls.size(), 5u);
    EXPECT_EQ(map.calls[0].op, Op::Clear);
    EXPECT_EQ(map.calls[1], (RecordingCanvas::Call{Op::FillColour, 0, 0, 0, 0, kLightGrey}));
    EXPECT_EQ(map.calls[2], (RecordingCanvas::Call{Op::ForeColour, 0, 0, 0, 0, kLightGrey}));
    EXPECT_EQ(map.calls[3].op, Op::Circle);
    EXPECT_FLOAT_EQ(map.calls[3].x2, cellDotRadius(2));
    EXPECT_EQ(map.calls[3].colour, kLightGrey);
    EXPECT_EQ(map.calls[3].fill, kLightGrey);
}

// The cached path paints marks straight into the image, shaded by how much of
// each pixel's block is active: it must light exactly the pixels that drawing
// every mark as a line does, and where no block is shared, in the same blue.
TEST(RedrawViewsCache, CachedPixelsLightWhatDirectDrawingLightsAndEqualItWhereNothingIsShared) {
    struct Case {
        int cells, frames;
        double share;
        int w, h;
        UserScale scale;  // width/height 0: the model's counts
        bool shared;      // pixels stand for more than kFullBlueBlock cell-frames
    };
    const Case cases[] = {
        {1500, 100000, 0.003, 495, 170, {}, true},    // marks far below a pixel both ways
        {3, 10, 0.4, 495, 170, {}, false},            // marks many pixels wide and high
        {200, 700, 0.05, 495, 170, {}, false},        // at most 3 cells on a row, 2 frames in a column
        {37, 1234, 0.02, 97, 33, {-30.5, 2.25, 900, 30}, true},  // shifted origin, part of the data off the image
        {128, 5000, 0.01, 495, 170, {0, 0, 60, 128}, false},     // zoomed in on the first frames
        {64, 300, 0.1, 50, 400, {0, 0, 300, 64}, false},         // more rows than cells, 6 frames a column
        {1500, 10000, 0.25, 495, 170, {}, true},  // dense
        {40, 2000, 0.05, 120, 50, {2000, 0, -2000, 40}, true},   // mirrored, right to left
    };
    unsigned seed = 11;
    for (const Case& k : cases) {
        const CellModel m = viewstest::randomModel(k.cells, k.frames, k.share, seed++);
        const UserScale s = k.scale.width == 1 && k.scale.height == 1 && k.scale.left == 0
                                ? UserScale{0, 0, double(k.frames), double(k.cells)}
                                : k.scale;
        ImageCanvas cachedRaster(k.w, k.h), cachedMap(231, 167), directRaster(k.w, k.h), directMap(231, 167);
        cachedRaster.setScale(s);
        directRaster.setScale(s);
        RedrawViews(m, cachedRaster, cachedMap);
        RedrawViewsDirect(m, directRaster, directMap);
        EXPECT_GT(countColour(directRaster.image(), kBlue), 0) << k.cells << "x" << k.frames;
        int shaded = 0;
        for (int y = 0; y < k.h; ++y)
            for (int x = 0; x < k.w; ++x) {
                const QRgb cached = cachedRaster.image().pixel(x, y), direct = directRaster.image().pixel(x, y);
                ASSERT_EQ(cached != kWhiteRgb, direct == kBlue) << k.cells << "x" << k.frames << " at " << x << "," << y;
                shaded += cached != direct;
            }
        EXPECT_EQ(shaded > 0, k.shared) << k.cells << "x" << k.frames;
        EXPECT_TRUE(cachedMap.image() == directMap.image()) << k.cells << "x" << k.frames;
        // a second, cached, redraw after drawing over the picture brings the resting picture back
        const QImage first = cachedRaster.image().copy();
        cachedRaster.filledBox(0, 0, float(s.width), float(s.height), kLightRed);
        RedrawViews(m, cachedRaster, cachedMap);
        EXPECT_TRUE(cachedRaster.image() == first) << k.cells << "x" << k.frames;
    }
}

TEST(RedrawViewsDensity, TheBundledExampleKeepsItsPlainMarksAtItsWindowSize) {
    const CellModel m = LoadDataFile(CELLSONIFY_EXAMPLES "/cortex-100-cells.txt");
    Views cached(m), direct(m);
    RedrawViews(m, cached.raster, cached.map);
    RedrawViewsDirect(m, direct.raster, direct.map);
    EXPECT_GT(countColour(direct.raster.image(), kBlue), 1000);
    EXPECT_TRUE(cached.raster.image() == direct.raster.image());
}

TEST(RedrawViewsDensity, SparseBackgroundStaysLightAndABurstStandsOut) {
    // 1500 cells x 100000 frames, each cell active in 0.2 % of the frames,
    // and half the cells firing through frames 60000..61000.
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> frame(1, 100000);
    std::vector<std::vector<int>> lists(1500);
    for (int c = 0; c < 1500; ++c) {
        for (int k = 0; k < 200; ++k) lists[c].push_back(frame(rng));
        if (c % 2 == 0)
            for (int f = 60000; f <= 61000; f += 3) lists[c].push_back(f);
    }
    const CellModel m = makeModel(100000, lists);
    Views v(m);
    RedrawViews(m, v.raster, v.map);
    const auto red = [&](int x, int y) { return qRed(v.raster.image().pixel(x, y)); };
    const int burstX = int(60500 * 495 / 100000.0), quietX = int(20000 * 495 / 100000.0);
    int lightQuiet = 0, darkBurst = 0;
    for (int y = 0; y < 170; ++y) {
        lightQuiet += red(quietX, y) >= 192;  // white has 255, the marks' blue 0
        darkBurst += red(burstX, y) <= 96;
    }
    EXPECT_GE(lightQuiet, 160);
    EXPECT_GE(darkBurst, 160);
    // Where a plain mark would have lit nearly every pixel, almost none is full blue.
    RedrawViewsDirect(m, v.raster, v.map);
    EXPECT_GT(countColour(v.raster.image(), kBlue), 495 * 170 / 2);
    RedrawViews(m, v.raster, v.map);
    EXPECT_LT(countColour(v.raster.image(), kBlue), 495 * 170 / 50);
}

TEST(RedrawViewsDensity, ShadesRunFromTheBackgroundToTheMarksBlueByTheActiveShare) {
    EXPECT_EQ(densityRgb(0, 10, 10, kWhiteRgb), kWhiteRgb);
    EXPECT_EQ(densityRgb(1, 1, kFullBlueBlock, kWhiteRgb), kBlue);
    EXPECT_EQ(densityRgb(30, 10, 10, 0xFF00FF00), kBlue);
    const QRgb quarter = densityRgb(1, 1, 4 * kFullBlueBlock, kWhiteRgb);  // half-way by the square root
    EXPECT_EQ(qBlue(quarter), 255);
    EXPECT_NEAR(qRed(quarter), 128, 1);
    EXPECT_EQ(qRed(quarter), qGreen(quarter));
    EXPECT_GT(qRed(densityRgb(1, 100, 100, kWhiteRgb)), qRed(densityRgb(2, 100, 100, kWhiteRgb)));
}

TEST(RedrawViewsPicture, ManyThousandCellsGetSmallerDotsThatLeaveMostOfTheMapClear) {
    const CellModel crowd = viewstest::randomModel(20000, 10, 0.0, 4);
    Views v(crowd);
    RedrawViews(crowd, v.raster, v.map);
    const int grey = countColour(v.map.image(), kGrey);
    EXPECT_GT(grey, 231 * 167 / 5);
    EXPECT_LT(grey, 231 * 167 / 2);
    EXPECT_LT(cellDotRadius(20000), cellDotRadius(1500));
    EXPECT_EQ(cellDotRadius(1500), cellDotRadius(1));
}

TEST(RedrawViewsCache, AnotherModelOrScaleGivesAFreshPictureNotTheCachedOne) {
    const CellModel a = viewstest::randomModel(50, 400, 0.05, 1);
    const CellModel b = viewstest::randomModel(50, 400, 0.05, 2);
    Views cached(a), direct(a);
    RedrawViews(a, cached.raster, cached.map);
    RedrawViews(b, cached.raster, cached.map);
    RedrawViewsDirect(b, direct.raster, direct.map);
    EXPECT_TRUE(cached.raster.image() == direct.raster.image());
    EXPECT_TRUE(cached.map.image() == direct.map.image());

    cached.raster.setScale({0, 0, 200, 25});
    direct.raster.setScale({0, 0, 200, 25});
    RedrawViews(b, cached.raster, cached.map);
    RedrawViewsDirect(b, direct.raster, direct.map);
    EXPECT_TRUE(cached.raster.image() == direct.raster.image());
}

TEST(RedrawViewsCache, TheCacheFollowsTheRevisionNotTheStorage) {
    // Same contents in other storage: a copy shares the revision and the kept picture.
    CellModel a = viewstest::randomModel(50, 400, 0.05, 1);
    Views cached(a), direct(a);
    RedrawViews(a, cached.raster, cached.map);
    const CellModel copy = a;
    cached.raster.filledBox(0, 0, 400, 50, kLightRed);
    RedrawViews(copy, cached.raster, cached.map);
    RedrawViewsDirect(a, direct.raster, direct.map);
    EXPECT_TRUE(cached.raster.image() == direct.raster.image());

    // Contents changed in place: touch() gives a fresh picture.
    a.CellPos[1] = {0.5, 0.5};
    a.CellCount = 49;
    a.touch();
    RedrawViews(a, cached.raster, cached.map);
    RedrawViewsDirect(a, direct.raster, direct.map);
    EXPECT_TRUE(cached.raster.image() == direct.raster.image());
    EXPECT_TRUE(cached.map.image() == direct.map.image());
}

TEST(RedrawViewsCache, EmptyModelClearsBothViews) {
    const CellModel m;
    Views v(makeModel(5, {{1, 2, 3}}));
    RedrawViews(makeModel(5, {{1, 2, 3}}), v.raster, v.map);
    ASSERT_GT(countColour(v.raster.image(), kBlue), 0);
    RedrawViews(m, v.raster, v.map);
    EXPECT_EQ(countColour(v.raster.image(), kWhiteRgb), 495 * 170);
    EXPECT_EQ(countColour(v.map.image(), kWhiteRgb), 231 * 167);
}

TEST(RedrawViewsDensity, AMarkGoingBackToRestTakesItsShadeAgain) {
    const CellModel m = viewstest::randomModel(1500, 100000, 0.002, 8);
    Views v(m);
    RedrawViews(m, v.raster, v.map);
    const QImage rest = v.raster.image().copy();
    const float frame = float(m.Activity.framesOf(700)[0]), row = float(m.CellCount - 700);
    v.raster.line(frame, row, frame, row + 1, kLightRed);
    ASSERT_FALSE(v.raster.image() == rest);
    v.raster.restLine(frame, row, frame, row + 1, kLightBlue);
    EXPECT_TRUE(v.raster.image() == rest);
    EXPECT_EQ(countColour(rest, kBlue), 0);  // shaded, so a blue line would have stayed

    ImageCanvas unkept(10, 10);  // nothing kept: the line in its colour
    unkept.restLine(0.5f, 0, 0.5f, 1, kLightBlue);
    EXPECT_EQ(countColour(unkept.image(), kBlue), 10);
}
