#include "video/MovieTiming.h"

#include <algorithm>

namespace cellsonify {

namespace {

// Smallest n with n x d >= a, for a >= 0 and d > 0.
int64_t ceilDiv(int64_t a, int64_t d) { return (a + d - 1) / d; }

}  // namespace

int MovieTiming::fpsFor(int intervalMs) {
    if (static_cast<int64_t>(intervalMs) * kMostFps < 1000) return kMostFps;
    if (1000 % intervalMs == 0) return 1000 / intervalMs;  // 1..60 here
    return kOtherFps;
}

MovieTiming::MovieTiming(int intervalMs, int64_t ticks)
    : intervalMs_(intervalMs), ticks_(ticks), fps_(fpsFor(intervalMs)) {}

int64_t MovieTiming::ticksShownBy(int64_t frame) const {
    // Tick k is shown when k x interval ms <= frame x 1000 / fps ms.
    return std::min(ticks_, frame * 1000 / (static_cast<int64_t>(intervalMs_) * fps_));
}

int64_t MovieTiming::firstFrameShowing(int64_t tick) const {
    return ceilDiv(tick * intervalMs_ * fps_, 1000);
}

int64_t MovieTiming::framesStartedBefore(int64_t sampleFrames, int sampleRate) const {
    // Picture k starts at k / fps s: before s samples when k x rate < s x fps.
    return ceilDiv(sampleFrames * fps_, sampleRate);
}

int64_t MovieTiming::frameCount(int64_t sampleFrames, int sampleRate) const {
    return std::max(firstFrameShowing(ticks_) + 1, framesStartedBefore(sampleFrames, sampleRate));
}

}  // namespace cellsonify
