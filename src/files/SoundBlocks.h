#pragma once

#include <functional>
#include <span>

namespace cellsonify {

// Takes the next block of a sound being made (interleaved stereo floats at
// 44.1 kHz, full scale +-1); false stops the making. What a pass's sound is
// handed to, by the WAV file and by a movie's sound track alike.
using SoundBlockSink = std::function<bool(std::span<const float> interleaved)>;

}  // namespace cellsonify
