#pragma once

#include "sound/SynthEngine.h"

#include <cstdint>
#include <span>
#include <vector>

namespace cellsonify {

// A short message due at a given stereo frame of an offline rendering.
struct TimedMessage {
    int64_t frame;    // 0 is the first frame rendered
    MidiMessage message;
};

// Renders `totalFrames` interleaved stereo float frames from `engine`, applying
// each message when the rendering reaches its frame (messages must be sorted by
// frame; ties keep their order; late ones play at the end). As fast as the CPU allows.
std::vector<float> renderMessages(SynthEngine& engine, std::span<const TimedMessage> messages,
                                  int64_t totalFrames);

// Number of frames in `seconds` at the engine's sample rate, rounded down.
int64_t framesForSeconds(double seconds);

}  // namespace cellsonify
