// The strips painted on an image canvas: the behaviour line keeps a one-frame
// peak when many frames share a pixel column and a lone value when few do,
// and each interval table has a lane of its own.
#include "drawing/BehaviourStrip.h"
#include "drawing/IntervalStrip.h"
#include "drawing/Palette.h"
#include "face/ImageCanvas.h"
#include "ViewsTestModels.h"

#include <gtest/gtest.h>

#include <limits>

using namespace cellsonify;

namespace {

TEST(StripViews, ALinePeakSurvivesManyFramesToAColumnAndTablesKeepTheirLanes) {
    CellModel model = viewstest::makeModel(100000, {{1}});
    BehaviourStream wheel{"wheel", "", std::vector<double>(100000, 0.0), 0, 1, 0, false};
    wheel.values[50000 - 1] = 1.0;  // one frame at the top of the range
    model.Context.streams = {wheel};
    ImageCanvas canvas(495, 23);
    canvas.setScale({0, 0, 100000, 1});
    BehaviourStrip().paint(model, canvas, {0, 100000, 495, 23});
    const int column = 50000 * 495 / 100000;
    EXPECT_EQ(canvas.image().pixel(column, 0), paletteRgb(BehaviourStrip::kLineColour));
    EXPECT_EQ(viewstest::countColour(canvas.image().copy(0, 0, 495, 22), paletteRgb(BehaviourStrip::kLineColour)), 1 * 22)
        << "only the peak's column rises from the foot";

    // A file giving only some frames: each value stands, as a point.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    model.Context.streams = {{"licks", "", {nan, 0.5, nan, nan, 1.0, nan, nan, nan, nan, nan}, 0, 1, 0, false}};
    ImageCanvas sparse(100, 11);
    sparse.setScale({0, 0, 10, 1});
    BehaviourStrip().paint(model, sparse, {0, 10, 100, 11});
    EXPECT_EQ(viewstest::countColour(sparse.image(), paletteRgb(BehaviourStrip::kLineColour)), 2);

    model.Context.tables = {{"trials", "", {"trials"}, {{100, 200, true, 0}}},
                            {"stimuli", "shape", {"dot", "bar"}, {{150, 300, true, 1}}}};
    ImageCanvas bands(100, 10);
    bands.setScale({0, 0, 1000, 1});
    IntervalStrip().paint(model, bands, {0, 1000, 100, 10});
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(bands.image().pixel(17, y), y < 5 ? 0xFF0000FFu : 0xFFFF0000u) << y;  // blue, then red
        EXPECT_EQ(bands.image().pixel(12, y), y < 5 ? 0xFF0000FFu : 0xFFFFFFFFu) << y;
    }
}

}  // namespace
