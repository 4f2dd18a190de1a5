#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cellsonify {

// Length on the wire of a message starting with `status`: program change and
// channel pressure carry one data byte, most others two.
std::size_t shortMessageLength(uint8_t status);

// One short MIDI message: a status byte and two data bytes, of which the
// status says how many count (size()).
struct MidiMessage {
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    // 0x80 note-off, 0x90 note-on, 0xC0 program change...; the channel bits cleared.
    constexpr uint8_t kind() const { return status & 0xF0; }
    // 0..15 (channel 1 is 0).
    constexpr uint8_t channel() const { return status & 0x0F; }
    // Bytes the message has on the wire (1..3).
    std::size_t size() const { return shortMessageLength(status); }
    // status, data 1, data 2: the first size() of them go on the wire.
    constexpr std::array<uint8_t, 3> bytes() const { return {status, data1, data2}; }

    bool operator==(const MidiMessage&) const = default;
};

// Note-on on channel 1; velocity 0 ends the note.
constexpr MidiMessage noteOnMessage(int note, int velocity) {
    return {0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}

// Program change on channel 1.
constexpr MidiMessage programChangeMessage(int program) { return {0xC0, static_cast<uint8_t>(program), 0}; }

// The same on any `channel` (0..15).
constexpr MidiMessage noteOnMessage(int channel, int note, int velocity) {
    return {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}
constexpr MidiMessage programChangeMessage(int channel, int program) {
    return {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program), 0};
}

// Note-off for `note` on `channel`, release velocity 0.
constexpr MidiMessage noteOffMessage(int channel, int note) {
    return {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0};
}

// Controller 10 (pan: 0 left, 64 centre, 127 right) on `channel`.
constexpr MidiMessage panMessage(int channel, int pan) {
    return {static_cast<uint8_t>(0xB0 | channel), 10, static_cast<uint8_t>(pan)};
}

}  // namespace cellsonify
