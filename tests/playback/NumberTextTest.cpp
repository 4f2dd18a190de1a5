#include "playback/NumberText.h"
#include "playback/SpeedText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cellsonify;

TEST(ParseNumber, TakesPlainDecimalsWithSignFractionExponentAndBlanks) {
    EXPECT_EQ(parseNumber("50"), 50.0);
    EXPECT_EQ(parseNumber("  2.5\t"), 2.5);
    EXPECT_EQ(parseNumber("+3"), 3.0);
    EXPECT_EQ(parseNumber("-3"), -3.0);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("5."), 5.0);
    EXPECT_EQ(parseNumber("1e10"), 1e10);
    EXPECT_EQ(parseNumber("2.5E-1"), 0.25);
    EXPECT_EQ(parseNumber("1e+2"), 100.0);
    EXPECT_EQ(parseNumber("007"), 7.0);
}

TEST(ParseNumber, RefusesEverythingElse) {
    for (const char* text : {"", " ", "abc", "5x", "x5", "1,5", "1 000", "inf", "nan", "-inf", "0x10", "e5", ".",
                             "-", "+-1", "1e", "1e+", "1.2.3", "--1", "1e400", "1e-400"})
        EXPECT_FALSE(parseNumber(text).has_value()) << '"' << text << '"';
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(3.5), 4.0);
    EXPECT_EQ(roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(7.4999), 7.0);
    EXPECT_EQ(roundHalfEven(7.5001), 8.0);
    EXPECT_EQ(roundHalfEven(-7.6), -8.0);
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497.0);  // 2^52 + 1: already whole
    EXPECT_TRUE(std::isinf(roundHalfEven(std::numeric_limits<double>::infinity())));
}

TEST(ParseInt32, RoundsHalfEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(parseInt32("0.5"), 0);
    EXPECT_EQ(parseInt32("1.5"), 2);
    EXPECT_EQ(parseInt32("2.5"), 2);
    EXPECT_EQ(parseInt32("-2.5"), -2);
    EXPECT_EQ(parseInt32("2147483647"), 2147483647);
    EXPECT_EQ(parseInt32("2147483647.4"), 2147483647);
    EXPECT_EQ(parseInt32("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(parseInt32("2147483647.5").has_value());
    EXPECT_FALSE(parseInt32("-2147483649").has_value());
    EXPECT_FALSE(parseInt32("1e10").has_value());
    EXPECT_FALSE(parseInt32("abc").has_value());
    EXPECT_FALSE(parseInt32("").has_value());
}

TEST(TrailLength, FloorOf300OverTheSpeedWithinOneToFifteen) {
    EXPECT_EQ(trailLengthFor("50"), 6);
    EXPECT_EQ(trailLengthFor("100"), 3);
    EXPECT_EQ(trailLengthFor("70"), 4);
    EXPECT_EQ(trailLengthFor("299"), 1);
    EXPECT_EQ(trailLengthFor("300"), 1);
    EXPECT_EQ(trailLengthFor("301"), 1);  // floor(0.997) = 0, raised to 1
    EXPECT_EQ(trailLengthFor("5000"), 1);
    EXPECT_EQ(trailLengthFor("10"), 15);  // 30, capped
    EXPECT_EQ(trailLengthFor("21"), 14);
    EXPECT_EQ(trailLengthFor("20"), 15);
    for (int s = 1; s <= 20; ++s) EXPECT_EQ(trailLengthFor(std::to_string(s)), 15) << s;
}

TEST(TrailLength, TextsThatDoNotGiveASpeedGiveTheShortestTrail) {
    EXPECT_EQ(trailLengthFor("0.4"), 1);  // rounds to 0, so no division
    EXPECT_EQ(trailLengthFor("0.5"), 1);  // ties to even: 0
    EXPECT_EQ(trailLengthFor("0"), 1);
    EXPECT_EQ(trailLengthFor("-3"), 1);   // negative quotient
    EXPECT_EQ(trailLengthFor("1e10"), 1);
    EXPECT_EQ(trailLengthFor("abc"), 1);
    EXPECT_EQ(trailLengthFor(""), 1);
    EXPECT_EQ(trailLengthFor("1.5"), 15);  // rounds to 2, then 300 / 1.5 = 200, capped
    EXPECT_EQ(trailLengthFor("60.4"), 4);   // the exact text divides: floor(4.97), not 300 / 60
}

TEST(TimerInterval, FollowsTheTextWhereTheTimerAcceptsIt) {
    EXPECT_EQ(timerIntervalFor("50"), 50);
    EXPECT_EQ(timerIntervalFor("2.5"), 2);
    EXPECT_EQ(timerIntervalFor("3.5"), 4);
    EXPECT_EQ(timerIntervalFor("0.4"), 0);
    EXPECT_EQ(timerIntervalFor("2147483647"), 2147483647);
    EXPECT_FALSE(timerIntervalFor("-3").has_value());
    EXPECT_FALSE(timerIntervalFor("1e10").has_value());
    EXPECT_FALSE(timerIntervalFor("abc").has_value());
    EXPECT_TRUE(timerAccepts(0));
    EXPECT_FALSE(timerAccepts(-1));
    EXPECT_FALSE(timerAccepts(2147483648LL));
}
