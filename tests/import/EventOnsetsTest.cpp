#include "import/EventOnsets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cellsonify;

namespace {

std::vector<int32_t> onsets(const std::vector<double>& trace, double k = 3) {
    std::vector<double> scratch;
    std::vector<int32_t> out;
    eventOnsets(trace, k, scratch, out);
    return out;
}

// Sixteen zeros, 1, -1, -3 and `peak` at `at`: median 0 and population std
// exactly 1 when the peak is 3, so z equals the sample.
std::vector<double> unitTrace(std::size_t at, double peak = 3) {
    std::vector<double> t(20, 0.0);
    t[17] = 1;
    t[18] = -1;
    t[19] = -3;
    std::swap(t[19], t[at == 19 ? 0 : 19]);
    t[at] = peak;
    return t;
}

}  // namespace

TEST(EventOnsets, StatisticsUseFiniteSamplesAndMeanOfMiddlePair) {
    std::vector<double> scratch;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const TraceStatistics s = traceStatistics(std::vector<double>{4, nan, 1, inf, 3, 2}, scratch);
    EXPECT_EQ(s.finite, 4u);
    EXPECT_DOUBLE_EQ(s.median, 2.5);
    EXPECT_DOUBLE_EQ(s.std, std::sqrt(1.25));
    EXPECT_EQ(traceStatistics(std::vector<double>{nan, nan}, scratch).finite, 0u);
}

TEST(EventOnsets, ZEqualToKStartsAnEventAtTheEdges) {
    EXPECT_EQ(onsets(unitTrace(0)), (std::vector<int32_t>{1}));
    EXPECT_EQ(onsets(unitTrace(19)), (std::vector<int32_t>{20}));
    EXPECT_TRUE(onsets(unitTrace(0), std::nextafter(3.0, 4.0)).empty());
}

TEST(EventOnsets, OnlyOnsetsOfTransientsCount) {
    std::vector<double> t(40, 0.0);
    for (int i : {5, 6, 7, 20, 39}) t[i] = 10;
    EXPECT_EQ(onsets(t), (std::vector<int32_t>{6, 21, 40}));
}

TEST(EventOnsets, NonFiniteSamplesNeverStartEventsAndFlatTracesHaveNone) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    std::vector<double> t(40, 0.0);
    t[3] = inf;
    t[10] = nan;
    t[11] = 10;  // after a NaN: NaN < K is false, so no onset here
    t[20] = 10;
    EXPECT_EQ(onsets(t), (std::vector<int32_t>{21}));
    EXPECT_TRUE(onsets(std::vector<double>(10, 2.0)).empty());
    EXPECT_TRUE(onsets(std::vector<double>(3, nan)).empty());
    EXPECT_TRUE(onsets({}).empty());
}

TEST(EventOnsets, EachEventsStrengthIsThePeakZUntilZFallsBelowK) {
    // Rises with dips mirroring them (mean and median 0) and one NaN: 199
    // finite samples, so std = sqrt(sum of squares / 199).
    std::vector<double> t(200, 0.0);
    const std::vector<std::pair<std::size_t, double>> rises{{10, 10}, {11, 30}, {12, 20}, {50, 15}, {60, 20}, {62, 12}};
    double squares = 0;
    for (std::size_t i = 0; i < rises.size(); ++i) {
        t[rises[i].first] = rises[i].second;
        t[150 + i] = -rises[i].second;
        squares += 2 * rises[i].second * rises[i].second;
    }
    t[61] = std::numeric_limits<double>::quiet_NaN();  // neither ends the transient at 60 nor raises it
    const double sd = std::sqrt(squares / 199);
    const double k = 2;
    ASSERT_LT(k * sd, 10) << "every rise reaches K";

    std::vector<double> scratch;
    std::vector<int32_t> found;
    std::vector<float> peaks;
    eventOnsets(t, k, scratch, found, &peaks);
    EXPECT_EQ(found, (std::vector<int32_t>{11, 51, 61}));
    ASSERT_EQ(peaks.size(), 3u);
    EXPECT_FLOAT_EQ(peaks[0], static_cast<float>(30 / sd));  // the highest of 10, 30, 20
    EXPECT_FLOAT_EQ(peaks[1], static_cast<float>(15 / sd));
    EXPECT_FLOAT_EQ(peaks[2], static_cast<float>(20 / sd));  // 12 after the NaN belongs to it, lower
    EXPECT_EQ(onsets(t, k), found) << "asking for strengths changes no onset";
}
