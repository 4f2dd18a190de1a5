// When a movie's pictures are taken against the ticks and the sound.
#include "video/MovieTiming.h"

#include <gtest/gtest.h>

using cellsonify::MovieTiming;

TEST(MovieTiming, PictureRateFollowsTheSpeedWhenItDividesASecondUpTo60) {
    struct Case {
        int intervalMs, fps;
    };
    for (const Case c : {Case{1000, 1}, {500, 2}, {50, 20}, {40, 25}, {20, 50},  // whole rates
                         {16, 60}, {1, 60},                                        // faster than 60 a second
                         {17, 30}, {33, 30}, {60, 30}, {2000, 30}, {2147483647, 30}})
        EXPECT_EQ(MovieTiming::fpsFor(c.intervalMs), c.fps) << c.intervalMs << " ms";
}

TEST(MovieTiming, EachPictureShowsEveryTickUpToItsTime) {
    // 20 fps at 50 ms: picture k shows exactly k ticks.
    const MovieTiming even(50, 10);
    for (int64_t k = 0; k <= 10; ++k) EXPECT_EQ(even.ticksShownBy(k), k);
    EXPECT_EQ(even.ticksShownBy(400), 10) << "never more ticks than the pass has";
    // 60 fps at 7 ms: picture 3 is at 50 ms, after ticks at 7, 14 .. 49 ms.
    EXPECT_EQ(MovieTiming(7, 100).ticksShownBy(3), 7);
    // The movie lasts as long as the sound, and at least shows the last tick.
    EXPECT_EQ(even.frameCount(44100 * 5 / 2, 44100), 50);   // 2.5 s of sound
    EXPECT_EQ(even.frameCount(44100 * 3 / 5 + 1, 44100), 13);  // 0.6 s and a sample: picture 12 starts before it ends
    EXPECT_EQ(even.frameCount(0, 44100), 11);
}

TEST(MovieTiming, AHundredThousandTickPassStaysInStepWithItsSound) {
    // 33 ms ticks filmed at 30 fps: neither divides the other, so any rounding
    // that accumulated would show up far into the pass.
    constexpr int64_t kTicks = 100000;
    constexpr int64_t kRate = 44100;
    const MovieTiming timing(33, kTicks);
    ASSERT_EQ(timing.fps(), 30);
    for (int64_t tick = 1; tick <= kTicks; ++tick) {
        const int64_t frame = timing.firstFrameShowing(tick);
        ASSERT_GE(timing.ticksShownBy(frame), tick) << tick;
        ASSERT_LT(timing.ticksShownBy(frame - 1), tick) << tick;
        // The sound's note lands at the sample its millisecond falls on; the
        // picture showing it starts no earlier and less than a picture later.
        const int64_t sample = tick * 33 * kRate / 1000;
        const int64_t lateBy = frame * kRate - sample * 30;  // in 1 / (30 x 44100) s
        ASSERT_GE(lateBy, 0) << tick;
        ASSERT_LT(lateBy, kRate) << tick;
    }
    EXPECT_EQ(timing.frameCount(kTicks * 33 * kRate / 1000, kRate), timing.firstFrameShowing(kTicks) + 1);
}
