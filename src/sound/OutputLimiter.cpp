#include "sound/OutputLimiter.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

OutputLimiter::OutputLimiter(int sampleRate)
    : releaseStep_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * sampleRate)))) {
    minima_.fill(1.0f);
}

void OutputLimiter::process(float* left, float* right, int frames, int step) {
    constexpr int kSlots = kWindow + 1;
    for (int k = 0; k < frames; ++k, ++frame_) {
        float& l = left[static_cast<std::ptrdiff_t>(k) * step];
        float& r = right[static_cast<std::ptrdiff_t>(k) * step];
        const float peak = std::max(std::fabs(l), std::fabs(r));
        // NaN compares false and so asks for no change; it is silenced below.
        const float need = peak > kCeiling ? kCeiling / peak : 1.0f;

        // Monotonic queue: the front is the smallest need of the window.
        while (needsCount_ > 0 && needs_[(needsFirst_ + needsCount_ - 1) % kSlots].gain >= need) --needsCount_;
        needs_[(needsFirst_ + needsCount_) % kSlots] = {frame_, need};
        ++needsCount_;
        if (needs_[needsFirst_].frame <= frame_ - kWindow) {
            needsFirst_ = (needsFirst_ + 1) % kSlots;
            --needsCount_;
        }
        const float smallest = needs_[needsFirst_].gain;

        // Averaging the window minima over the look-ahead turns a step into a
        // ramp that still reaches each frame's need by the time it leaves the
        // delay line: every minimum averaged covers that frame.
        const int slot = static_cast<int>(frame_ % kLookAheadFrames);
        minimaSum_ += static_cast<double>(smallest) - minima_[slot];
        minima_[slot] = smallest;
        const float ramp = static_cast<float>(minimaSum_ / kLookAheadFrames);
        gain_ = ramp < gain_ ? ramp : gain_ + (ramp - gain_) * releaseStep_;

        const float outLeft = delayLeft_[slot] * gain_;
        const float outRight = delayRight_[slot] * gain_;
        delayLeft_[slot] = std::isnan(l) ? 0.0f : l;
        delayRight_[slot] = std::isnan(r) ? 0.0f : r;
        // The running sum's rounding is the only way past the ceiling, and
        // never by enough to reach full scale.
        l = std::clamp(outLeft, -1.0f, 1.0f);
        r = std::clamp(outRight, -1.0f, 1.0f);
    }
}

}  // namespace cellsonify
