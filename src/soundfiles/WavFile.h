#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace cellsonify {

class SafeOutput;

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

// A 16-bit PCM WAV file written as it is rendered (through libsndfile) into a
// SafeOutput: under a temporary name beside its destination until commit()
// renames it into place; dropped without commit(), it leaves nothing behind.
class WavFileWriter {
public:
    // Throws std::runtime_error naming `path` when the file cannot be created.
    WavFileWriter(const std::string& path, int channels, int sampleRate);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Appends `frames` interleaved frames in -1..1 (louder is clipped, never
    // wrapped); throws std::runtime_error naming the file on a write error.
    void write(const float* interleaved, int64_t frames);
    // Completes the header and renames the file into place; throws as write does.
    void commit();

private:
    // Throws the error for a failed libsndfile call: the system's reason when
    // errno holds one, else the library's.
    [[noreturn]] void fail(const std::string& libraryReason) const;

    std::unique_ptr<SafeOutput> output_;
    SNDFILE* file_ = nullptr;
    int channels_;
};

}  // namespace cellsonify
