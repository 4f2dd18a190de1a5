// Row orders built from a recording's structure, and cell numbers as users
// type them.
#include "model/CellModel.h"
#include "model/CellOrdering.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cellsonify;

namespace {

CellModel recording(int frameCount, const std::vector<std::vector<int>>& framesPerCell,
                    const std::vector<CellPosition>& positions = {}) {
    CellModel m;
    m.CellCount = static_cast<int32_t>(framesPerCell.size());
    m.FrameCount = frameCount;
    ActivityBuilder b;
    for (const auto& frames : framesPerCell) {
        b.beginCell(1);
        for (int f : frames) b.addFrame(f);
    }
    m.Activity = b.finish();
    m.CellPos.assign(framesPerCell.size() + 1, {});
    for (std::size_t i = 0; i < positions.size(); ++i) m.CellPos[i + 1] = positions[i];
    return m;
}

// The cells from the raster's top row down.
std::vector<int> topDown(const RowOrder& order, int n) {
    std::vector<int> cells;
    for (int place = n; place >= 1; --place) cells.push_back(order.cellAt(place));
    return cells;
}

// Whether `group`'s cells take neighbouring rows.
bool contiguous(const RowOrder& order, const std::vector<int>& group) {
    std::vector<int> places;
    for (int cell : group) places.push_back(order.placeOf(cell));
    const auto [low, high] = std::minmax_element(places.begin(), places.end());
    return *high - *low == static_cast<int>(group.size()) - 1;
}

}  // namespace

TEST(RowOrders, PositionReadsTheFieldOfViewFromTheTopAndActivityPutsTheBusiestFirst) {
    // Y grows downwards on the map: cell 2 is highest, then 4, 1, 3.
    const CellModel m = recording(10, {{1, 2}, {1, 2, 3, 4}, {5}, {}},
                                  {{0.5, 0.5}, {0.1, 0.1}, {0.9, 0.9}, {0.3, 0.3}});
    const RowOrder byPosition = orderRows(m, RowOrderKind::Position);
    EXPECT_EQ(topDown(byPosition, 4), (std::vector<int>{2, 4, 1, 3}));
    // Places count from the bottom row, where cell 1 sits in file order.
    EXPECT_EQ(byPosition.placeOf(3), 1);
    EXPECT_EQ(byPosition.placeOf(2), 4);
    // 4, 2, 1 and 0 events; a frame beyond the declared count does not count.
    const CellModel busy = recording(4, {{1, 2}, {1, 2, 3, 4}, {5}, {1, 2, 3}});
    EXPECT_EQ(topDown(orderRows(busy, RowOrderKind::Activity), 4), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_TRUE(orderRows(busy, RowOrderKind::File).isFileOrder());
}

TEST(RowOrders, SimilarityKeepsTwoInterleavedGroupsOfCoFiringCellsContiguous) {
    // Odd cells fire together in every third frame from 1, even cells in every
    // third frame from 2; each cell also fires alone now and then, and one odd
    // and one even cell meet twice, so the groups are not entirely apart.
    std::vector<std::vector<int>> frames(10);
    for (int f = 1; f <= 300; ++f) {
        if (f % 3 == 1)
            for (int c = 1; c <= 10; c += 2) frames[c - 1].push_back(f);
        if (f % 3 == 2)
            for (int c = 2; c <= 10; c += 2) frames[c - 1].push_back(f);
        if (f % 3 == 0 && f % 30 == 0) frames[(f / 30) % 10].push_back(f);
    }
    frames[0].push_back(303), frames[1].push_back(303);
    frames[2].push_back(306), frames[3].push_back(306);
    const CellModel m = recording(310, frames);
    const RowOrder order = orderRows(m, RowOrderKind::Similarity);
    EXPECT_TRUE(contiguous(order, {1, 3, 5, 7, 9}));
    EXPECT_TRUE(contiguous(order, {2, 4, 6, 8, 10}));

    // Cells that never fire sit below all that do.
    frames.push_back({});
    const RowOrder withSilent = orderRows(recording(310, frames), RowOrderKind::Similarity);
    EXPECT_EQ(withSilent.placeOf(11), 1);

    // Told how far it has come, it gives the same order; stopped, none.
    std::vector<double> told;
    const auto reported = orderRows(m, RowOrderKind::Similarity, [&](double done) {
        told.push_back(done);
        return true;
    });
    EXPECT_EQ(reported, order);
    ASSERT_FALSE(told.empty());
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_LE(told.back(), 1.0);
    int asked = 0;
    EXPECT_EQ(orderRows(m, RowOrderKind::Similarity, [&](double) { return ++asked < 2; }), std::nullopt);
    EXPECT_EQ(asked, 2) << "stopped at once";
}

TEST(RowOrders, SimilarityOfAnEmptyOrSilentRecordingIsStill) {
    EXPECT_TRUE(orderRows(recording(5, {}), RowOrderKind::Similarity).isFileOrder());
    EXPECT_TRUE(orderRows(recording(5, {{}, {}, {}}), RowOrderKind::Similarity).isFileOrder());
    EXPECT_THROW(RowOrder(std::vector<int32_t>{1, 1}), std::invalid_argument);
}

TEST(CellNumbers, ListsAndRangesReadAsTypedAndMistakesAreNamed) {
    EXPECT_EQ(parseCellNumbers("1,5,9-12", 20), (std::vector<int>{1, 5, 9, 10, 11, 12}));
    EXPECT_EQ(parseCellNumbers(" 7 , 3-4,4 ", 20), (std::vector<int>{3, 4, 7}));
    for (const char* wrong : {"", "1,,2", "a", "3-1", "0", "21", "1-21", "2.5", "-3"})
        EXPECT_THROW(parseCellNumbers(wrong, 20), CellNumbersError) << wrong;
    try {
        parseCellNumbers("4,30", 20);
        FAIL();
    } catch (const CellNumbersError& e) {
        EXPECT_NE(std::string(e.what()).find("30"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("1 to 20"), std::string::npos) << e.what();
    }
}

TEST(CellNumbers, TheSelectionDecidesWhichCellsAreHeard) {
    CellSelection s;
    s.select(2, true), s.select(5, true), s.toggle(2);
    EXPECT_EQ(s.cells(), (std::vector<int>{5}));
    EXPECT_TRUE(s.heard(1));
    s.hear = HearMode::SelectedOnly;
    EXPECT_FALSE(s.heard(1));
    EXPECT_TRUE(s.heard(5));
    s.hear = HearMode::MuteSelected;
    EXPECT_TRUE(s.heard(1));
    EXPECT_FALSE(s.heard(5));
    s.clear();
    EXPECT_TRUE(s.hearsEveryCell());
}
