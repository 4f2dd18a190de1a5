#include "playback/PacedTimer.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using namespace cellsonify;
using namespace std::chrono_literals;

namespace {

// A PacedTimer on a clock the test moves by hand.
struct Driven {
    Driven() : timer([this] { onTick(); }, [this] { return now; }) {}
    void onTick() {
        ++ticks;
        if (duringTick) duringTick();
    }
    TickSchedule::TimePoint now = TickSchedule::TimePoint{} + 500s;
    int ticks = 0;
    std::function<void()> duringTick;
    PacedTimer timer;
};

}  // namespace

TEST(PacedTimer, ZeroIsStoppedAndANewIntervalStartsAFreshBeatAtOnce) {
    Driven d;
    EXPECT_FALSE(d.timer.isActive());
    EXPECT_EQ(d.timer.interval(), 0);
    d.timer.setInterval(10);
    EXPECT_TRUE(d.timer.isActive());
    d.now += 25ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 2);
    d.now += 3ms;  // 28 ms: the old beat's next tick would be at 30
    d.timer.setInterval(4);
    d.now += 3ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 2);
    d.now += 1ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 3);
    d.timer.setInterval(0);
    d.now += 1s;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 3);
    EXPECT_FALSE(d.timer.isActive());
}

TEST(PacedTimer, SettingTheSameIntervalKeepsTheBeat) {
    Driven d;
    d.timer.setInterval(10);
    d.now += 8ms;
    d.timer.setInterval(10);
    d.now += 2ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 1);
}

TEST(PacedTimer, NegativeIntervalsAreRefused) {
    Driven d;
    d.timer.setInterval(10);
    d.timer.setInterval(-5);
    EXPECT_EQ(d.timer.interval(), 10);
    EXPECT_TRUE(d.timer.isActive());
}

TEST(PacedTimer, ABacklogRunsAFewPerWakeupAndALongOneIsDropped) {
    Driven d;
    d.timer.setInterval(1);
    d.now += 6ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 4);
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 6);
    d.now += 100ms;
    d.timer.runDueTicks();
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 10);
    EXPECT_EQ(d.timer.droppedTicks(), 96);
}

TEST(PacedTimer, LoopsRestartedByATickStayOnTheGrid) {
    // As at the end of the data: the pass's last tick sets 0, then the same
    // interval again. Wakeups come late by a varying fraction of a tick; over
    // 60 s of 100-tick passes at 5 ms, tick j must still fall due at
    // (j + 1) x 5 ms: frame k of pass p at (p x 100 + k) x interval.
    Driven d;
    const TickSchedule::TimePoint start = d.now;
    std::vector<std::chrono::nanoseconds> late;
    d.duringTick = [&] {
        late.push_back(d.now - start - (d.ticks * 5ms));
        if (d.ticks % 100 == 0) {
            d.timer.setInterval(0);
            d.timer.setInterval(5);
        }
    };
    d.timer.setInterval(5);
    const std::chrono::microseconds steps[] = {1300us, 700us, 2900us, 4100us};
    for (int k = 0; d.now - start < 60s; ++k) {
        d.now += steps[k % 4];
        d.timer.runDueTicks();
    }
    ASSERT_GE(d.ticks, 11990);
    for (std::size_t j = 0; j < late.size(); ++j) {
        ASSERT_GE(late[j], 0ns) << "tick " << j;
        ASSERT_LT(late[j], 4100us) << "tick " << j;  // never more than one wakeup late
    }
}

TEST(PacedTimer, ATickThatRestartsAtAnotherIntervalStartsAFreshBeat) {
    Driven d;
    d.timer.setInterval(1);
    d.duringTick = [&] {
        if (d.ticks == 2) {
            d.timer.setInterval(0);
            d.timer.setInterval(3);
        }
    };
    d.now += 4ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 2);  // the rest of the batch was due on the old beat
    d.now += 2ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 2);
    d.now += 1ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 3);
}

TEST(PacedTimer, ATickThatStopsTheTimerEndsTheBatch) {
    Driven d;
    d.timer.setInterval(1);
    d.duringTick = [&] { d.timer.setInterval(0); };
    d.now += 4ms;
    d.timer.runDueTicks();
    EXPECT_EQ(d.ticks, 1);
    EXPECT_FALSE(d.timer.isActive());
}

TEST(PacedTimer, TicksArriveThroughTheEventLoop) {
    // Counts, not timing: the guard only keeps a broken timer from hanging the run.
    // One wake-up may run several due ticks, so the fifth stops the timer
    // itself (ending its batch) rather than relying on the loop to quit in time.
    int ticks = 0;
    QEventLoop loop;
    PacedTimer* self = nullptr;
    PacedTimer timer([&] {
        if (++ticks < 5) return;
        self->setInterval(0);
        loop.quit();
    });
    self = &timer;
    timer.setInterval(1);
    QTimer::singleShot(10s, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 5);
    EXPECT_FALSE(timer.isActive());
    QEventLoop after;
    QTimer::singleShot(20ms, &after, &QEventLoop::quit);
    after.exec();
    EXPECT_EQ(ticks, 5);
}
