#pragma once

#include <array>
#include <cstdint>

namespace cellsonify {

// A look-ahead peak limiter for the synthesizer's stereo output, the same in
// live playback and in exported audio. Sound below the ceiling passes
// unchanged (only delayed); a louder burst is turned down smoothly before its
// first loud sample arrives, so no sample leaves above the ceiling, and the
// gain comes back slowly so dense passages do not pump.
class OutputLimiter {
public:
    // Highest level let through: -1 dBFS, leaving room for 16-bit rounding.
    static constexpr float kCeiling = 0.891f;
    // The look-ahead, which is also the delay the limiter adds: about 2.9 ms.
    static constexpr int kLookAheadFrames = 128;
    // Time constant of the gain's return to 1 after a burst.
    static constexpr double kReleaseSeconds = 0.25;

    explicit OutputLimiter(int sampleRate);

    // Limits `frames` stereo frames in place, delayed by kLookAheadFrames.
    // Samples k of a channel are at left[k * step] and right[k * step]: step 1
    // for separate channel buffers, 2 (right = left + 1) for interleaved ones.
    void process(float* left, float* right, int frames, int step);
    // The gain applied to the last frame processed (1: untouched).
    float gain() const { return gain_; }

private:
    static constexpr int kWindow = kLookAheadFrames + 1;  // frames the minimum looks over

    struct Need {
        int64_t frame;
        float gain;
    };

    float releaseStep_;
    float gain_ = 1.0f;
    int64_t frame_ = 0;
    // Sliding minimum of the gain each frame needs, over the last kWindow frames.
    std::array<Need, kWindow + 1> needs_{};
    int needsFirst_ = 0;
    int needsCount_ = 0;
    // The last kLookAheadFrames minima, averaged into a ramp.
    std::array<float, kLookAheadFrames> minima_{};
    double minimaSum_ = kLookAheadFrames;
    std::array<float, kLookAheadFrames> delayLeft_{};
    std::array<float, kLookAheadFrames> delayRight_{};
};

}  // namespace cellsonify
