#include "model/ActivityTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

using namespace cellsonify;

// Both indexes against plain sets, on a table large enough to span many of the
// blocks the frame-major index is built in and to be built by two threads, with
// cells listed out of order and with repeats, and cells with no frames.
TEST(ActivityTable, BothIndexesHoldExactlyTheFramesGiven) {
    constexpr int kCells = 400, kFrames = 60000;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> frame(1, kFrames);
    std::vector<std::set<int32_t>> want(kCells + 1);
    ActivityBuilder b;
    for (int c = 1; c <= kCells; ++c) {
        b.beginCell(static_cast<int16_t>(c % 7 + 1));
        std::vector<int32_t> listed;
        if (c % 10 != 0)
            for (int k = 0; k < 300; ++k) listed.push_back(frame(rng));
        if (c % 3 != 0) std::sort(listed.begin(), listed.end());  // else out of order, as drawn
        if (c % 5 == 0 && !listed.empty()) listed.push_back(listed.front());  // a repeat
        for (std::size_t k = 0; k < listed.size(); ++k) {
            if (k % 2 == 0) {
                b.addFrame(listed[k]);
            } else {
                *b.frameRoom(3) = listed[k];
                b.keepFrames(2);
            }
            want[c].insert(listed[k]);
        }
    }
    const ActivityTable t = b.finish();
    ASSERT_EQ(t.cellCount(), kCells);
    std::vector<std::vector<int16_t>> byFrame(kFrames + 1);
    std::size_t events = 0;
    int32_t last = 0;
    for (int c = 1; c <= kCells; ++c) {
        auto got = t.framesOf(c);
        EXPECT_EQ(std::vector<int32_t>(got.begin(), got.end()), std::vector<int32_t>(want[c].begin(), want[c].end()))
            << "cell " << c;
        EXPECT_EQ(t.level(c), c % 7 + 1);
        for (int32_t f : want[c]) byFrame[f].push_back(static_cast<int16_t>(c));
        events += want[c].size();
        if (!want[c].empty()) last = std::max(last, *want[c].rbegin());
    }
    EXPECT_EQ(t.eventCount(), events);
    ASSERT_EQ(t.lastFrame(), last);
    for (int32_t f = 0; f <= kFrames + 1; ++f) {
        auto got = t.cellsIn(f);
        const auto& expected = f >= 1 && f <= kFrames ? byFrame[f] : std::vector<int16_t>{};
        ASSERT_EQ(std::vector<int16_t>(got.begin(), got.end()), expected) << "frame " << f;
    }
}

// An import's size: cells past 16-bit numbers, frames past a data file's
// 100000 (listed out of order once), and one cell with more distinct frames
// than the repeat-folding threshold, which must all be kept.
TEST(ActivityTable, HoldsTensOfThousandsOfCellsAndAMillionFrames) {
    constexpr int kCells = 40000, kFrames = 1000000;
    ActivityBuilder b;
    for (int c = 1; c <= kCells; ++c) {
        b.beginCell(1);
        if (c == 2) {
            for (int32_t f = 1; f <= kFrames; f += 2) b.addFrame(f);  // 500000 distinct frames
        } else if (c == kCells) {
            b.addFrame(kFrames);
            b.addFrame(150000);
        } else {
            b.addFrame(static_cast<int32_t>(c * 24 % kFrames) + 1);
        }
    }
    const ActivityTable t = b.finish();
    ASSERT_EQ(t.cellCount(), kCells);
    EXPECT_EQ(t.lastFrame(), kFrames);
    EXPECT_EQ(t.framesOf(2).size(), 500000u);
    EXPECT_EQ((std::vector<int32_t>(t.framesOf(kCells).begin(), t.framesOf(kCells).end())),
              (std::vector<int32_t>{150000, kFrames}));
    const auto last = t.cellsIn(kFrames);
    EXPECT_EQ((std::vector<int32_t>(last.begin(), last.end())), (std::vector<int32_t>{kCells}));
    const auto mid = t.cellsIn(150000);
    EXPECT_EQ((std::vector<int32_t>(mid.begin(), mid.end())), (std::vector<int32_t>{kCells}));
    const int cell = 33334;  // past 32767; its frame 800017 is odd, so cell 2 shares it
    const int32_t f = cell * 24 % kFrames + 1;
    const auto at = t.cellsIn(f);
    EXPECT_EQ((std::vector<int32_t>(at.begin(), at.end())), (std::vector<int32_t>{2, cell}));
    EXPECT_TRUE(t.active(cell, f));
}
