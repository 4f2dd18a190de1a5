#pragma once

#include <cstdint>

namespace cellsonify {

// A MIDI output that takes short messages packed as one 32-bit value:
// status + 256 x data1 + 65536 x data2 (byte 0 status, byte 1 data 1, byte 2 data 2).
class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // Opens the output; 0 on success, any other value on failure. Called once.
    virtual int open() = 0;
    // Sends one short message at once. Callers ignore failures; sending on an
    // output whose open failed does nothing.
    virtual void shortMessage(int32_t message) = 0;
};

// status + 256 x data1 + 65536 x data2 in signed 32-bit arithmetic, nothing masked.
constexpr int32_t packShortMessage(int32_t status, int32_t data1, int32_t data2) {
    return status + 256 * data1 + 65536 * data2;
}

}  // namespace cellsonify
