#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// Most bytes of sample data a RIFF/WAVE file can declare (its sizes are 32-bit).
inline constexpr uint64_t kMostWavDataBytes = 0xFFFFFFFFull - 36;

// A RIFF/WAVE file of 16-bit PCM from interleaved float samples in -1..1:
// values beyond full scale are clipped, never wrapped.
std::string wavFileBytes(const std::vector<float>& interleaved, int channels, int sampleRate);

// The 44-byte header of a 16-bit PCM file whose data chunk holds `dataBytes`
// (at most kMostWavDataBytes), for writers that append the samples themselves.
std::string wavHeader(int channels, int sampleRate, uint32_t dataBytes);

// Appends `count` float samples to `out` as 16-bit little-endian PCM, clipped
// like wavFileBytes (NaN becomes silence).
void appendPcm16(std::string& out, const float* samples, std::size_t count);

}  // namespace cellsonify
