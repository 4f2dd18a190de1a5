#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace exporttest {

// The text of a data file with `frameCount` frames and one frame list per
// cell (cells numbered from 1, level 1 each).
std::string dataFileText(int frameCount, const std::vector<std::vector<int>>& framesPerCell);

// One event of a Standard MIDI File track: absolute time in ticks and its
// bytes from the status on (meta events keep their 0xFF, type and data).
struct SmfEvent {
    int64_t tick = 0;
    std::vector<int> bytes;
    bool operator==(const SmfEvent&) const = default;
};
// Shows an event as "tick: 90 40 7f" in test failures.
void PrintTo(const SmfEvent& e, std::ostream* os);

// A Standard MIDI File read back independently of the writer.
struct Smf {
    int format = -1;
    int tracks = -1;
    int division = -1;
    std::vector<SmfEvent> events;  // of the first track, each with its status written out
    int runningStatusEvents = 0;   // events that were written without their status byte
};

// Parses `file`; a malformed file fails the calling test and returns what was read.
Smf parseSmf(const std::string& file);

// Samples of a 16-bit stereo WAV file as floats (full scale = 1), and its header fields.
struct Wav {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    uint32_t dataBytes = 0;
    std::vector<float> samples;  // interleaved
};
Wav parseWav(const std::string& file);

}  // namespace exporttest
