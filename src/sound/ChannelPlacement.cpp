#include "sound/ChannelPlacement.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {

// -1 (hard left) .. 1 (hard right); 64 is the centre, so the two halves of
// the controller's range are 64 and 63 steps long.
double position(int pan) {
    pan = std::clamp(pan, 0, 127);
    return pan < ChannelPlacement::kCentre ? (pan - 64) / 64.0 : (pan - 64) / 63.0;
}

}  // namespace

ChannelPlacement::ChannelPlacement() {
    for (auto& pan : pans_) pan.store(kCentre, std::memory_order_relaxed);
}

void ChannelPlacement::setPan(int channel, int pan) {
    if (channel < 0 || channel >= kBuses) return;
    pans_[static_cast<std::size_t>(channel)].store(std::clamp(pan, 0, 127), std::memory_order_relaxed);
}

ChannelPlacement::Gains ChannelPlacement::monoGains(int pan) {
    const double angle = (position(pan) + 1.0) * M_PI / 4.0;
    return {static_cast<float>(M_SQRT2 * std::cos(angle)), static_cast<float>(M_SQRT2 * std::sin(angle))};
}

void ChannelPlacement::mixBus(int channel, const float* left, const float* right, float* outLeft, float* outRight,
                              int frames) {
    const int at = pan(channel);
    if (at == kCentre) {
        for (int k = 0; k < frames; ++k) {
            outLeft[k] += left[k];
            outRight[k] += right[k];
        }
        return;
    }
    // A placed channel is heard as a point: its mid, (L + R) / 2, through the
    // pan law. The preset's own width would pull it back towards the centre.
    // Summing loses what the two sides do not share (a quarter of the level
    // for FluidR3's piano, over 70% for its pads, whose sides are far apart
    // in phase), so the mid is raised by the level it lost, measured over the
    // last few tens of milliseconds: the mean power of L and R against the
    // power of the mid. Both measures follow the sound at the same pace, so
    // the ratio holds still through a note's attack and decay.
    const Gains g = monoGains(at);
    Loss& loss = losses_[static_cast<std::size_t>(channel)];
    for (int k = 0; k < frames; ++k) {
        const float mid = 0.5f * (left[k] + right[k]);
        loss.sides += kFollow * (0.5f * (left[k] * left[k] + right[k] * right[k]) - loss.sides);
        loss.mid += kFollow * (mid * mid - loss.mid);
        const float makeUp = loss.sides > 1e-12f ? std::sqrt(loss.sides / std::max(loss.mid, loss.sides * kMostLoss)) : 1.0f;
        outLeft[k] += g.left * makeUp * mid;
        outRight[k] += g.right * makeUp * mid;
    }
}

}  // namespace cellsonify
