#include "playback/TickSchedule.h"

#include <gtest/gtest.h>

#include <random>

using namespace cellsonify;
using namespace std::chrono_literals;

namespace {
const TickSchedule::TimePoint t0 = TickSchedule::TimePoint{} + 1000s;
}

TEST(TickSchedule, TicksFallDueOnAGridFromTheStart) {
    TickSchedule s;
    EXPECT_EQ(s.takeDue(t0 + 1h), 0);  // never started
    s.start(t0, 5ms);
    EXPECT_TRUE(s.running());
    EXPECT_EQ(s.nextDue(), t0 + 5ms);
    EXPECT_EQ(s.takeDue(t0 + 4999us), 0);
    EXPECT_EQ(s.takeDue(t0 + 5ms), 1);
    EXPECT_EQ(s.takeDue(t0 + 5ms), 0);
    // A late wakeup does not shift the grid: the next deadline stays at 10 ms.
    EXPECT_EQ(s.takeDue(t0 + 9900us), 0);
    EXPECT_EQ(s.nextDue(), t0 + 10ms);
    EXPECT_EQ(s.takeDue(t0 + 14ms), 1);
    EXPECT_EQ(s.nextDue(), t0 + 15ms);
    EXPECT_EQ(s.takeDue(t0 + 25ms), 3);  // 15, 20 and 25 ms
}

TEST(TickSchedule, ABacklogIsHandedOutAFewAtATime) {
    TickSchedule s;
    s.start(t0, 1ms);
    EXPECT_EQ(s.takeDue(t0 + 6ms), TickSchedule::kMostPerWakeup);
    EXPECT_EQ(s.takeDue(t0 + 6ms), 2);
    EXPECT_EQ(s.takeDue(t0 + 6ms), 0);
    EXPECT_EQ(s.dropped(), 0);
}

TEST(TickSchedule, ALongBacklogIsDroppedToAFewTicks) {
    TickSchedule s;
    s.start(t0, 1ms);
    EXPECT_EQ(s.takeDue(t0 + 30ms), TickSchedule::kMostPerWakeup);
    EXPECT_EQ(s.dropped(), 30 - TickSchedule::kMostPerWakeup);
    EXPECT_EQ(s.takeDue(t0 + 30ms), 0);
    EXPECT_EQ(s.nextDue(), t0 + 31ms);  // still on the grid
    // Exactly kMostBacklog due is not yet dropped.
    TickSchedule edge;
    edge.start(t0, 1ms);
    EXPECT_EQ(edge.takeDue(t0 + std::chrono::milliseconds(TickSchedule::kMostBacklog)), TickSchedule::kMostPerWakeup);
    EXPECT_EQ(edge.dropped(), 0);
}

TEST(TickSchedule, StopAndRestart) {
    TickSchedule s;
    s.start(t0, 2ms);
    EXPECT_EQ(s.takeDue(t0 + 4ms), 2);
    s.stop();
    EXPECT_FALSE(s.running());
    EXPECT_EQ(s.interval(), 0ms);
    EXPECT_EQ(s.takeDue(t0 + 100ms), 0);
    s.start(t0 + 100ms, 3ms);
    EXPECT_EQ(s.takeDue(t0 + 102ms), 0);
    EXPECT_EQ(s.takeDue(t0 + 103ms), 1);
    s.start(t0 + 200ms, 0ms);  // a zero interval never runs
    EXPECT_FALSE(s.running());
}

TEST(TickSchedule, LateJitteryWakeupsKeepTheMeanPeriod) {
    // Wakeups up to 0.9 ms late, rearmed for the next deadline rounded up to a
    // whole ms as the timer does: after 10 s at 1 ms per tick every tick has
    // run, give or take the ones still waiting.
    for (const auto interval : {1ms, 2ms, 5ms, 50ms}) {
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> lateUs(0, 900);
        TickSchedule s;
        s.start(t0, interval);
        auto now = t0;
        long long ticks = 0;
        const auto end = t0 + 10s;
        while (now < end) {
            ticks += s.takeDue(now);
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(s.nextDue() - now);
            now += std::max(wait, std::chrono::milliseconds{0}) + std::chrono::microseconds(lateUs(rng));
        }
        const long long expected = (end - t0) / interval;
        EXPECT_LE(std::llabs(ticks - expected), 2) << interval.count() << " ms";
        EXPECT_EQ(s.dropped(), 0) << interval.count() << " ms";
    }
}
