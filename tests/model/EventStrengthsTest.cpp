#include "model/ActivityTable.h"
#include "model/EventStrengths.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cellsonify;

// round(40 + 87 x min(1, (z - K) / (2K))), worked out by hand at K = 3.
TEST(EventStrengths, VelocityRunsFrom40AtTheThresholdTo127AtThreeTimesIt) {
    EXPECT_EQ(strengthVelocity(3, 3), 40);
    EXPECT_EQ(strengthVelocity(4.5, 3), 62);   // 40 + 87 / 4 = 61.75
    EXPECT_EQ(strengthVelocity(6, 3), 84);     // 40 + 43.5, half rounded up
    EXPECT_EQ(strengthVelocity(8.9, 3), 126);  // 40 + 87 x 5.9 / 6 = 125.55
    EXPECT_EQ(strengthVelocity(9, 3), 127);
    EXPECT_EQ(strengthVelocity(40, 3), 127);
    EXPECT_EQ(strengthVelocity(0.5, 0.5), 40);  // K = 0.5: 1.5 is 3K
    EXPECT_EQ(strengthVelocity(1.5, 0.5), 127);
    // A threshold of 0 or below gives no scale; such events play at full velocity.
    EXPECT_EQ(strengthVelocity(2, 0), 127);
    EXPECT_EQ(strengthVelocity(2, -1), 127);
}

TEST(EventStrengths, EachEventsStrengthIsFoundByCellAndFrame) {
    // Cell 1 active in 2 and 7, cell 2 in none, cell 3 in 1 and 7.
    ActivityBuilder b;
    b.beginCell(1);
    b.addFrame(2);
    b.addFrame(7);
    b.beginCell(1);
    b.beginCell(1);
    b.addFrame(1);
    b.addFrame(7);
    const ActivityTable table = b.finish();
    const EventStrengths strengths{{3.5f, 4.0f, 5.5f, 9.0f}, 3};
    EXPECT_EQ(strengths.of(table, 1, 2), 3.5);
    EXPECT_EQ(strengths.of(table, 1, 7), 4.0);
    EXPECT_EQ(strengths.of(table, 3, 1), 5.5);
    EXPECT_EQ(strengths.of(table, 3, 7), 9.0);
    for (const auto& [cell, frame] : {std::pair{1, 1LL}, {2, 7LL}, {3, 2LL}, {4, 7LL}, {1, 0LL}, {1, 8LL}})
        EXPECT_TRUE(std::isnan(strengths.of(table, cell, frame))) << cell << ", " << frame;
    EXPECT_TRUE(std::isnan(EventStrengths{}.of(table, 1, 2))) << "a data file has none";
}
