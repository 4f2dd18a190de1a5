#include "drawing/KeyGeometry.h"

#include <gtest/gtest.h>

using namespace cellsonify;

TEST(KeyRect, RowsFollowTheOctaveTableFromDToCSharp) {
    KeyRect keys;
    keys.fill();
    EXPECT_EQ(keys(13), (KeyRectRow{21, 4, 24, 6}));
    EXPECT_EQ(keys(14), (KeyRectRow{23, 1, 25, 3}));
    EXPECT_EQ(keys(60), (KeyRectRow{104, 1, 106, 3}));
    EXPECT_EQ(keys(127), (KeyRectRow{221, 1, 223, 3}));
    EXPECT_EQ(keys(128), (KeyRectRow{222, 4, 225, 6}));
    EXPECT_EQ(keys(0), (KeyRectRow{}));
    EXPECT_EQ(keys(145), (KeyRectRow{}));
    EXPECT_NE(keys(144), (KeyRectRow{}));
    EXPECT_THROW(keys(2001), std::out_of_range);
}

TEST(KeyRect, FiftyThreeBlackKeysAmongTheFirst128Rows) {
    KeyRect keys;
    keys.fill();
    int black = 0, first = 0, last = 0;
    for (int r = 1; r <= 128; ++r)
        if (KeyRect::isBlack(keys(r))) {
            ++black;
            if (!first) first = r;
            last = r;
        }
    EXPECT_EQ(black, 53);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 127);
}
