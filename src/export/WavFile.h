#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// A RIFF/WAVE file of 16-bit PCM from interleaved float samples in -1..1:
// values beyond full scale are clipped, never wrapped.
std::string wavFileBytes(const std::vector<float>& interleaved, int channels, int sampleRate);

}  // namespace cellsonify
