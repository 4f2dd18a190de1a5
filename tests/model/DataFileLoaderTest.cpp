#include "model/DataFileLoader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using namespace cellsonify;

namespace {

CellModel load(const std::string& name) { return LoadDataFile(testfiles::data(name).string()); }

std::vector<int32_t> frames(const CellModel& m, int cell) {
    auto f = m.Activity.framesOf(cell);
    return {f.begin(), f.end()};
}

// Loads `name` expecting a refusal and returns its message.
std::string refusal(const std::string& path) {
    try {
        LoadDataFile(path);
    } catch (const DataFileError& e) {
        return e.what();
    }
    ADD_FAILURE() << path << " loaded but should have been refused";
    return {};
}

const std::string kHeader = "512 512 20 1\n100 0 0 0\n0 0 0 0\n0 0 0 0\n";

}  // namespace

TEST(LoaderFields, FrameCountIsTheFirstValueOfTheSecondLine) {
    const CellModel m = LoadDataFileFromBytes("1 2 3 4\n777 9 9 9\n5 5 5 5\n5 5 5 5\n", "a.txt");
    EXPECT_EQ(m.FrameCount, 777);
    EXPECT_EQ(m.CellCount, 0);
}

TEST(LoaderFields, HeaderPositionsCountLineBreaks) {
    // With three values on the first line the frame count moves one field left.
    const CellModel m = LoadDataFileFromBytes("1 2 3\n4 55 6 7\n0 0 0 0\n0 0 0 0 0\n", "a.txt");
    EXPECT_EQ(m.FrameCount, 55);
}

TEST(LoaderFields, SeparatorsAndLineEndsAllReadTheSame) {
    const CellModel commas = load("commas-no-final-line-break.txt");
    ASSERT_EQ(commas.CellCount, 2);
    EXPECT_EQ(frames(commas, 1), (std::vector<int32_t>{5, 9}));
    EXPECT_EQ(frames(commas, 2), (std::vector<int32_t>{4, 6}));

    const CellModel crlf = load("frame-list-empty-line-crlf.txt");
    ASSERT_EQ(crlf.CellCount, 2);
    EXPECT_TRUE(frames(crlf, 1).empty());
    EXPECT_EQ(crlf.Activity.level(1), 2);
    EXPECT_EQ(frames(crlf, 2), (std::vector<int32_t>{4}));
}

TEST(LoaderFields, ByteOrderMarkCrOnlyLinesAndFractions) {
    // "12abc" reads its leading number; 2.5 and 3.5 round half to even.
    const CellModel m = load("cr-only-bom-fractions.txt");
    EXPECT_EQ(m.FrameCount, 100);
    ASSERT_EQ(m.CellCount, 2);
    EXPECT_EQ(frames(m, 1), (std::vector<int32_t>{2, 5, 12}));
    EXPECT_EQ(frames(m, 2), (std::vector<int32_t>{4, 7}));
}

TEST(LoaderRecords, LeadingZeroSkippedOnceAndOmittedCellsMarkNothing) {
    const CellModel m = load("frame-list-leading-zero.txt");
    ASSERT_EQ(m.CellCount, 2);
    EXPECT_EQ(frames(m, 1), (std::vector<int32_t>{5, 9}));
    EXPECT_EQ(frames(m, 2), (std::vector<int32_t>{5, 9}));
    // The omitted third record's frames 7 and 8 mark no cell.
    EXPECT_TRUE(m.Activity.cellsIn(7).empty());
    EXPECT_EQ(m.Activity.at(2, 0), 1);
    EXPECT_EQ(m.Activity.at(1, 0), 2);
}

TEST(LoaderRecords, TwoZerosEndAnEmptyList) {
    const CellModel m = LoadDataFileFromBytes(kHeader + "1 10 10 1 0 0 2 20 20 1\n3\n", "a.txt");
    ASSERT_EQ(m.CellCount, 2);
    EXPECT_TRUE(frames(m, 1).empty());
    EXPECT_EQ(frames(m, 2), (std::vector<int32_t>{3}));
}

TEST(LoaderRecords, XOfZeroEndsTheDataEvenWithRecordsAfterIt) {
    const CellModel m = load("x-zero-ends-data.txt");
    EXPECT_EQ(m.CellCount, 1);
    EXPECT_EQ(frames(m, 1), (std::vector<int32_t>{5}));
    EXPECT_TRUE(m.Activity.cellsIn(6).empty());
}

TEST(LoaderRecords, FramesAboveTheFrameCountAreKeptAndRepeatsMerged) {
    const CellModel m = LoadDataFileFromBytes(kHeader + "1 10 10 1\n150 3 3 100000\n", "a.txt");
    EXPECT_EQ(frames(m, 1), (std::vector<int32_t>{3, 150, 100000}));
    EXPECT_EQ(m.Activity.at(1, 100000), 1);
    EXPECT_THROW(m.Activity.at(1, 100001), std::out_of_range);
    EXPECT_THROW(m.Activity.at(1501, 1), std::out_of_range);
}

TEST(LoaderRecords, FrameMajorIndexListsCellsInAscendingOrder) {
    const CellModel m = LoadDataFileFromBytes(kHeader + "1 10 10 1\n4 2\n2 20 20 1\n2\n3 30 30 1\n4 2\n", "a.txt");
    auto two = m.Activity.cellsIn(2);
    EXPECT_EQ((std::vector<int16_t>(two.begin(), two.end())), (std::vector<int16_t>{1, 2, 3}));
    auto four = m.Activity.cellsIn(4);
    EXPECT_EQ((std::vector<int16_t>(four.begin(), four.end())), (std::vector<int16_t>{1, 3}));
    EXPECT_TRUE(m.Activity.cellsIn(0).empty());
    EXPECT_TRUE(m.Activity.cellsIn(5).empty());
}

TEST(LoaderPositions, NormalisedIntoTheMapWithYFlipped) {
    const CellModel m = load("frame-list-leading-zero.txt");
    EXPECT_DOUBLE_EQ(m.CellPos[1].X, 0.05);
    EXPECT_DOUBLE_EQ(m.CellPos[2].X, 0.05 + 1 / 1.1);
    EXPECT_DOUBLE_EQ(m.CellPos[1].Y, 0.95);
    EXPECT_NEAR(m.CellPos[2].Y, 0.95 - 1 / 1.1, 1e-12);
}

TEST(LoaderPositions, SharedPositionGoesToTheMiddleInsteadOfDividingByZero) {
    const CellModel one = load("single-cell.txt");
    ASSERT_EQ(one.CellCount, 1);
    EXPECT_DOUBLE_EQ(one.CellPos[1].X, 0.05 + 0.5 / 1.1);
    EXPECT_DOUBLE_EQ(one.CellPos[1].Y, 0.95 - 0.5 / 1.1);

    // Same X for both cells, different Y: only X goes to the middle.
    const CellModel col = LoadDataFileFromBytes(kHeader + "1 7 10 1\n\n2 7 30 1\n\n", "a.txt");
    EXPECT_DOUBLE_EQ(col.CellPos[2].X, 0.05 + 0.5 / 1.1);
    EXPECT_NEAR(col.CellPos[2].Y, 0.95 - 1 / 1.1, 1e-12);
}

TEST(LoaderPositions, RangeSeedsTakePart) {
    // All X above 500000: the smallest X stays the seed 500000, not 600000.
    const CellModel m = LoadDataFileFromBytes(kHeader + "1 600000 10 1\n\n2 700000 30 1\n\n", "a.txt");
    EXPECT_DOUBLE_EQ(m.CellPos[1].X, (600000.0 - 500000) / 200000 / 1.1 + 0.05);
}

TEST(LoaderText, CaptionUsesTheTextAfterTheLastSlashOrBackslash) {
    EXPECT_EQ(captionFor("D:\\runs\\a.txt"), " a.txt (non-active cells are omitted)");
    EXPECT_EQ(captionFor("/home/x/b.txt"), " b.txt (non-active cells are omitted)");
    EXPECT_EQ(captionFor("plain.txt"), " plain.txt (non-active cells are omitted)");
    EXPECT_EQ(captionFor(load("single-cell.txt").DataFile), " single-cell.txt (non-active cells are omitted)");
}

TEST(LoaderErrors, EachRefusalNamesFileLineAndProblem) {
    EXPECT_EQ(refusal(testfiles::data("header-cut-short.txt")),
              "header-cut-short.txt, line 4: the file ends inside its header (20 header values expected, a line "
              "break counting as one)");
    EXPECT_EQ(refusal(testfiles::data("record-cut-short.txt")),
              "record-cut-short.txt, line 7: the file ends early: the cell's level expected");
    EXPECT_EQ(refusal(testfiles::data("level-above-32767.txt")),
              "level-above-32767.txt, line 5: level 40000 is above 32767");
    EXPECT_EQ(refusal(testfiles::data("frame-above-100000.txt")),
              "frame-above-100000.txt, line 8: frame 100001 of cell 2 is above 100000");
    EXPECT_EQ(refusal(testfiles::data("frame-count-above-100000.txt")),
              "frame-count-above-100000.txt, line 2: the frame count 200000 is above 100000");
    EXPECT_EQ(refusal(testfiles::data("no-such-file.txt")),
              "no-such-file.txt: cannot be opened: No such file or directory");
    EXPECT_EQ(refusal(testfiles::data("")), "data: is a folder, not a data file");
}

TEST(LoaderErrors, The1501stKeptCellIsRefusedButOmittedOnesAreNot) {
    std::string body = kHeader;
    for (int c = 1; c <= 1500; ++c) body += std::to_string(c) + " " + std::to_string(c) + " 5 1\n3\n";
    body += "1501 9 9 0\n\n";  // omitted: fine
    const CellModel full = LoadDataFileFromBytes(body, "full.txt");
    EXPECT_EQ(full.CellCount, 1500);
    EXPECT_EQ(frames(full, 1500), (std::vector<int32_t>{3}));

    body += "1502 9 9 1\n4\n";
    try {
        LoadDataFileFromBytes(body, "cells.txt");
        FAIL() << "a 1501st active cell must be refused";
    } catch (const DataFileError& e) {
        EXPECT_EQ(std::string(e.what()), "cells.txt, line 3007: more than 1500 active cells");
        EXPECT_EQ(e.line(), 3007);
    }
}

TEST(LoaderErrors, UnreadableFileIsARefusalNotACrash) {
    testfiles::TempDir dir;
    auto p = dir.write("locked.txt", kHeader);
    ::chmod(p.c_str(), 0);
    std::string said;
    EXPECT_TRUE(testfiles::asUnprivilegedUser([&] {
        said = refusal(p.string());
        return said.find("locked.txt: cannot be opened") != std::string::npos;
    })) << said;
}

TEST(LoaderErrors, InfiniteOrHugeNumbersAreRefusedWithTheirLine) {
    EXPECT_NE(refusal(testfiles::TempDir().write("huge-x.txt", kHeader + "1 1e400 3 1\n\n").string()),
              "");
    try {
        LoadDataFileFromBytes(kHeader + "1 5 3 1\n\n2 1e400 3 1\n\n", "huge.txt");
        FAIL();
    } catch (const DataFileError& e) {
        EXPECT_EQ(std::string(e.what()), "huge.txt, line 7: the X position is a number too large");
    }
    // A huge frame in an omitted record is read and discarded.
    EXPECT_EQ(LoadDataFileFromBytes(kHeader + "1 5 3 0\n1e400\n", "a.txt").CellCount, 0);
}

TEST(LoaderModel, SecondLoadLeavesNoTraceOfTheFirst) {
    CellModel m = load("frame-list-leading-zero.txt");
    m.CurrentFrame = 42;
    m = load("single-cell.txt");
    EXPECT_EQ(m.CellCount, 1);
    EXPECT_EQ(m.CurrentFrame, 0);
    EXPECT_EQ(m.Activity.level(2), 0);
    EXPECT_FALSE(m.Activity.active(2, 5));
    EXPECT_EQ(m.CellPos.size(), 2u);
    EXPECT_EQ(m.Activity.at(2, 9), 0);
}
