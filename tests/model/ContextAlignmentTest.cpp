// Experiment times brought onto a recording's frames, and bad rows and series left out with a word.
#include "model/ContextAlignment.h"
#include "model/TrialSteps.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cellsonify;

namespace {

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(FrameClock, AFrameHoldsItsOwnSpanAndTheLastOneLastsAsLongAsTheOneBefore) {
    const FrameClock clock = FrameClock::fromTimes({10.0, 10.5, 11.0, 11.5});
    EXPECT_EQ(clock.frameAt(9.99), 0);
    EXPECT_EQ(clock.frameAt(10.0), 1);
    EXPECT_EQ(clock.frameAt(10.49), 1);
    EXPECT_EQ(clock.frameAt(10.5), 2);
    EXPECT_EQ(clock.frameAt(11.99), 4);
    EXPECT_EQ(clock.frameAt(12.0), 0);
    EXPECT_EQ(clock.frameAt(NAN), 0);
    const FrameClock rated = FrameClock::fromRate(2.0, 4.0, 3);
    EXPECT_EQ(rated.frameAt(2.3), 2);
    EXPECT_DOUBLE_EQ(rated.endOf(3), 2.75);
    EXPECT_FALSE(FrameClock::fromRate(0, 0, 10).known());
}

TEST(AlignIntervals, TimesBecomeFramesGroupedByLabelAndBadRowsAreLeftOutWithAWord) {
    const FrameClock clock = FrameClock::fromRate(0.0, 10.0, 100);  // 10 s
    TimedIntervals t{"trials", {0.05, 1.0, 2.0, NAN, 5.0, 9.5, 20.0, 3.0},
                     {0.5, 1.2, INFINITY, 4.0, 4.0, 12.0, 21.0, 3.0}, "condition",
                     {"a", "b", "a", "b", "a", "c", "c", "b"}, false};
    std::vector<IntervalTable> tables;
    ContextMessages messages;
    ASSERT_TRUE(alignIntervals(t, clock, 100, tables, messages));
    const IntervalTable& out = tables.at(0);
    EXPECT_EQ(out.groups, (std::vector<std::string>{"a", "b", "c"}));
    // 1 s lies in frame 11 (1.0 .. 1.1 s); the row stopping after the end runs to frame 100.
    EXPECT_EQ(out.rows, (std::vector<ContextInterval>{
                            {1, 6, true, 0}, {11, 13, true, 1}, {31, 31, true, 1}, {96, 100, false, 2}}));
    EXPECT_TRUE(mentions(messages.warnings, "trials: 2 rows have times that are not finite numbers"));
    EXPECT_TRUE(mentions(messages.warnings, "trials: 1 row stops before it starts"));
    EXPECT_TRUE(mentions(messages.notes, "trials: 1 interval starts before the first or after the last frame"));
}

TEST(AlignIntervals, UnequalColumnsAreCutAndFramesAreTakenAsGiven) {
    TimedIntervals t{"cues", {1, 4, 7}, {2, 5}, "", {}, true};
    std::vector<IntervalTable> tables;
    ContextMessages messages;
    ASSERT_TRUE(alignIntervals(t, FrameClock{}, 6, tables, messages));
    EXPECT_EQ(tables[0].rows, (std::vector<ContextInterval>{{1, 2, true, 0}, {4, 5, true, 0}}));
    EXPECT_TRUE(mentions(messages.warnings, "cues: columns of unequal length (start 3, stop 2)"));
    t.inFrames = false;
    EXPECT_FALSE(alignIntervals(t, FrameClock{}, 6, tables, messages)) << "seconds need the frame times";
    EXPECT_TRUE(mentions(messages.warnings, "cues: times are in seconds"));
}

TEST(AlignSeries, ResamplesToTheMeanOverEachFrameOrTheLineBetweenSamples) {
    const FrameClock clock = FrameClock::fromRate(0.0, 2.0, 4);  // frames of 0.5 s
    // Two samples in frame 1, none in frame 2, one not a number in frame 3, one in frame 4.
    TimedSeries s{"wheel", "", {0.0, 0.25, 1.25, 1.5}, {2.0, 4.0, NAN, 8.0}, false};
    std::vector<BehaviourStream> streams;
    ContextMessages messages;
    ASSERT_TRUE(alignSeries(s, clock, 4, streams, messages));
    const BehaviourStream& out = streams.at(0);
    ASSERT_EQ(out.values.size(), 4u);
    EXPECT_DOUBLE_EQ(out.values[0], 3.0);
    // Frame 2 (0.5 .. 1.0) has no sample: the line from (0.25, 4) to (1.25, NaN) gives nothing.
    EXPECT_TRUE(std::isnan(out.values[1]));
    EXPECT_TRUE(std::isnan(out.values[2])) << "a sample that is not a number is passed over";
    EXPECT_DOUBLE_EQ(out.values[3], 8.0);
    EXPECT_DOUBLE_EQ(out.low, 3.0);
    EXPECT_DOUBLE_EQ(out.high, 8.0);
    EXPECT_NEAR(out.rate, 2.0, 1e-12);

    TimedSeries slow{"pupil", "", {0.0, 2.0}, {0.0, 4.0}, false};
    ASSERT_TRUE(alignSeries(slow, clock, 4, streams, messages));
    EXPECT_DOUBLE_EQ(streams.back().values[1], 1.0) << "frame 2 starts at 0.5 s, a quarter of the way";
}

TEST(AlignSeries, TimesGoingBackwardsOrRepeatingLeaveTheSeriesOut) {
    const FrameClock clock = FrameClock::fromRate(0.0, 1.0, 10);
    std::vector<BehaviourStream> streams;
    ContextMessages messages;
    EXPECT_FALSE(alignSeries({"licks", "", {1, 3, 2}, {1, 1, 1}, false}, clock, 10, streams, messages));
    EXPECT_FALSE(alignSeries({"pupil", "", {1, 2, 2}, {1, 1, 1}, false}, clock, 10, streams, messages));
    EXPECT_FALSE(alignSeries({"run", "", {100, 200}, {1, 1}, false}, clock, 10, streams, messages));
    EXPECT_TRUE(streams.empty());
    EXPECT_TRUE(mentions(messages.warnings, "licks: times go backwards at sample 3 (3 then 2)"));
    EXPECT_TRUE(mentions(messages.warnings, "pupil: times repeat at sample 3"));
    EXPECT_TRUE(mentions(messages.notes, "run: no sample falls inside"));
}

TEST(TrialSteps, StepsFromTrialToTrialAndNamesTheOneAtThePosition) {
    const IntervalTable trials{"trials", "cond", {"go", "nogo"}, {{5, 8, true, 0}, {12, 15, true, 1}, {20, 20, true, 0}}};
    EXPECT_EQ(intervalAt(trials, 3), nullptr);
    EXPECT_EQ(intervalAt(trials, 7.6), &trials.rows[0]);
    EXPECT_EQ(intervalAt(trials, 9), nullptr);
    EXPECT_EQ(nextInterval(trials, 0), &trials.rows[0]);
    EXPECT_EQ(nextInterval(trials, 5), &trials.rows[1]);
    EXPECT_EQ(nextInterval(trials, 20), nullptr);
    EXPECT_EQ(previousInterval(trials, 13), &trials.rows[0]) << "from inside the second, the first";
    EXPECT_EQ(previousInterval(trials, 17), &trials.rows[1]) << "between, the one just passed";
    EXPECT_EQ(previousInterval(trials, 6), nullptr);
    EXPECT_EQ(intervalText(trials, 13), "trial 2 of 3 (nogo)");
    EXPECT_EQ(intervalText(trials, 10), "");
    EXPECT_EQ(intervalText({"epochs", "", {""}, {{1, 4, true, 0}}}, 2), "epoch 1 of 1");
}
