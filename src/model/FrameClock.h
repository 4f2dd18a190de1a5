#pragma once

#include <cstdint>
#include <vector>

namespace cellsonify {

// When each frame of a recording begins, in the seconds its experiment's
// events are stamped with: the imaging series' own timestamps, or a start
// and a rate. A clock that is not known maps no time at all.
class FrameClock {
public:
    FrameClock() = default;
    // Frame f (1-based) begins at starts[f - 1]; the times must rise.
    static FrameClock fromTimes(std::vector<double> starts);
    // Frame f begins at first + (f - 1) / rate, for `frames` frames.
    static FrameClock fromRate(double first, double rate, int32_t frames);

    bool known() const { return frames_ > 0; }
    int32_t frames() const { return frames_; }
    // When `frame` (1..frames()) begins.
    double startOf(int32_t frame) const {
        return starts_.empty() ? first_ + (frame - 1) / rate_ : starts_[static_cast<std::size_t>(frame - 1)];
    }
    // Where `frame`'s span ends: the next frame's start; the last frame lasts as long as the one before it.
    double endOf(int32_t frame) const;
    // The frame whose span [start, end) holds `seconds`; 0 before the first
    // frame or after the last one's end (and for NaN).
    int32_t frameAt(double seconds) const;

    bool operator==(const FrameClock&) const = default;

private:
    std::vector<double> starts_;  // empty when the frames come at a rate
    double first_ = 0, rate_ = 0;
    int32_t frames_ = 0;
};

}  // namespace cellsonify
