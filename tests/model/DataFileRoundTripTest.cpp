#include "model/CellPositions.h"
#include "model/DataFileLoader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace cellsonify;

// What writeDataFile writes, LoadDataFile reads back as the same recording:
// every cell of the most a file holds, positions with fractions that have no
// short decimal form, levels, silent cells and scattered frames.
TEST(DataFileRoundTrip, WrittenThenReadGivesTheSameModel) {
    CellModel model;
    model.CellCount = 1500;
    model.FrameCount = 5000;
    std::vector<CellPosition> filePositions{CellPosition{}};
    ActivityBuilder activity;
    for (int c = 1; c <= model.CellCount; ++c) {
        filePositions.push_back({1 + c * 0.3 + 1.0 / 3, (c * 37 % 500) + 0.7 / c});
        activity.beginCell(static_cast<int16_t>(1 + c % 5));
        for (int k = 0; k < c % 7; ++k) activity.addFrame(static_cast<int32_t>((c * (k + 1) * 131) % 5000 + 1));
    }
    model.Activity = activity.finish();
    model.CellPos = filePositions;
    normaliseCellPositions(model);

    testfiles::TempDir dir;
    const std::string path = (dir.path() / "round trip.txt").string();
    writeDataFile(model, filePositions, path);
    model.DataFile = path;
    EXPECT_EQ(LoadDataFile(path), model);

    // Positions that do not normalise into the model's are refused, writing nothing.
    filePositions[7].X += 0.5;
    EXPECT_THROW(writeDataFile(model, filePositions, (dir.path() / "other.txt").string()), std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.txt"));
}
