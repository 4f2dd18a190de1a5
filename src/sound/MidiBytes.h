#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cellsonify {

// A packed short message split into the bytes a byte-oriented port takes.
struct MidiBytes {
    std::array<uint8_t, 3> data{};  // byte 0 status, byte 1 data 1, byte 2 data 2
    std::size_t size = 0;           // bytes the message really has on the wire (1..3)
};

// Bytes of a short message packed as status + 256 x data1 + 65536 x data2.
MidiBytes splitShortMessage(int32_t message);

// Length on the wire of a message starting with `status`: program change and
// channel pressure carry one data byte, most others two.
std::size_t shortMessageLength(uint8_t status);

}  // namespace cellsonify
