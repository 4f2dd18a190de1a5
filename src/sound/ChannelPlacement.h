#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace cellsonify {

// Where each MIDI channel sits between the loudspeakers, applied to the sound
// after synthesis. A preset's own stereo image (FluidR3's pianos are stereo
// sample pairs panned hard apart) and its reverb and chorus outweigh the
// synthesizer's pan controller, so each channel is rendered with its effects
// to a stereo bus of its own and placed here: a channel at the centre
// (controller value 64, every channel's default) passes unchanged; a channel
// placed anywhere else is summed to mono, raised by what the sum lost (so it
// is as loud as the bus was), and goes through an equal-power pan law: every
// preset is placed alike and keeps its loudness wherever it sits.
class ChannelPlacement {
public:
    static constexpr int kBuses = 16;  // one per MIDI channel
    static constexpr int kCentre = 64;

    ChannelPlacement();

    // Places `channel` (0..15) at pan controller value `pan` (0 hard left, 64
    // centre, 127 hard right). Any thread; takes effect at the next mix.
    void setPan(int channel, int pan);
    int pan(int channel) const { return pans_[static_cast<std::size_t>(channel)].load(std::memory_order_relaxed); }

    // Left and right gains of a mono sound at `pan`: sqrt(2) x (cos, sin) of
    // an angle running 0..pi/2, so both are 1 at the centre.
    struct Gains {
        float left;
        float right;
    };
    static Gains monoGains(int pan);

    // Adds bus `channel` (`left`, `right`, `frames` samples each) into `outLeft`
    // and `outRight`, placed where the channel is. One rendering thread only.
    void mixBus(int channel, const float* left, const float* right, float* outLeft, float* outRight, int frames);

private:
    // Per-sample step of the power measures: a 40 ms time constant at 44.1 kHz.
    static constexpr float kFollow = 1.0f / (0.040f * 44100.0f);
    // The most the sum is raised: 12 dB (a mid a sixteenth of the sides' power).
    static constexpr float kMostLoss = 1.0f / 16.0f;

    // Running powers of one bus, for the level its mono sum lost.
    struct Loss {
        float sides = 0;  // mean of L^2 and R^2
        float mid = 0;    // ((L + R) / 2)^2
    };

    std::array<std::atomic<int>, kBuses> pans_;
    std::array<Loss, kBuses> losses_{};
};

}  // namespace cellsonify
