#include "model/FrameClock.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

FrameClock FrameClock::fromTimes(std::vector<double> starts) {
    FrameClock clock;
    clock.frames_ = static_cast<int32_t>(starts.size());
    clock.starts_ = std::move(starts);
    return clock;
}

FrameClock FrameClock::fromRate(double first, double rate, int32_t frames) {
    FrameClock clock;
    if (!(rate > 0) || !std::isfinite(rate) || !std::isfinite(first) || frames <= 0) return clock;
    clock.first_ = first;
    clock.rate_ = rate;
    clock.frames_ = frames;
    return clock;
}

double FrameClock::endOf(int32_t frame) const {
    if (frame < frames()) return startOf(frame + 1);
    const double step = frames() >= 2 ? startOf(frames()) - startOf(frames() - 1) : 0;
    return startOf(frame) + step;
}

int32_t FrameClock::frameAt(double seconds) const {
    if (!known() || !std::isfinite(seconds) || seconds < startOf(1)) return 0;
    int32_t frame = 0;
    if (starts_.empty()) {
        // The frame the rate gives, corrected for rounding so startOf agrees with it.
        const double guess = std::floor((seconds - first_) * rate_);
        frame = static_cast<int32_t>(std::min<double>(guess, frames_ - 1)) + 1;
        while (frame > 1 && startOf(frame) > seconds) --frame;
        while (frame < frames_ && startOf(frame + 1) <= seconds) ++frame;
    } else {
        frame = static_cast<int32_t>(std::upper_bound(starts_.begin(), starts_.end(), seconds) - starts_.begin());
    }
    // The last frame holds its own span and no more; a single frame only its instant.
    if (frame == frames() && !(seconds < endOf(frame) || seconds == startOf(frame))) return 0;
    return frame;
}

}  // namespace cellsonify
