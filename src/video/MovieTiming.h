#pragma once

#include <cstdint>

namespace cellsonify {

// When each picture of a movie of one playback pass is taken. Every time is
// a whole number of milliseconds, samples or pictures, so the arithmetic is
// exact and picture and sound stay in step however long the pass.
class MovieTiming {
public:
    static constexpr int kMostFps = 60;
    static constexpr int kOtherFps = 30;

    // Pictures per second for `intervalMs` (> 0) between ticks: 1000 / interval
    // when that is a whole number from 1 to 60, 60 when ticks come more than 60
    // a second, otherwise 30.
    static int fpsFor(int intervalMs);

    // A pass of `ticks` ticks, tick k (from 1) at k x `intervalMs` ms.
    MovieTiming(int intervalMs, int64_t ticks);

    int fps() const { return fps_; }
    int intervalMs() const { return intervalMs_; }
    int64_t ticks() const { return ticks_; }

    // Ticks that have run when picture `frame` (from 0) shows: those at or
    // before frame / fps seconds, at most the pass's.
    int64_t ticksShownBy(int64_t frame) const;
    // The first picture that shows tick `tick` (1..ticks).
    int64_t firstFrameShowing(int64_t tick) const;
    // Pictures that start before `sampleFrames` samples at `sampleRate` have played.
    int64_t framesStartedBefore(int64_t sampleFrames, int sampleRate) const;
    // Pictures in a movie whose sound lasts `sampleFrames` at `sampleRate`:
    // enough to show the last tick and to last as long as the sound.
    int64_t frameCount(int64_t sampleFrames, int sampleRate) const;

private:
    int intervalMs_;
    int64_t ticks_;
    int fps_;
};

}  // namespace cellsonify
