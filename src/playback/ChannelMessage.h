#pragma once

#include <cstdint>

namespace cellsonify {

// One MIDI channel message as its three bytes. A plain value so the sound
// mappings stay free of any output; packed() gives the form MidiOutput and
// MidiFileEvent take.
struct ChannelMessage {
    uint8_t status = 0;  // kind in the high nibble, channel 0..15 in the low one
    uint8_t data1 = 0;
    uint8_t data2 = 0;  // ignored on the wire for program changes

    // status + 256 x data1 + 65536 x data2.
    constexpr int32_t packed() const { return status + 256 * data1 + 65536 * data2; }
    bool operator==(const ChannelMessage&) const = default;
};

// Note-on for `note` on `channel` (0..15); velocity 0 releases the key.
constexpr ChannelMessage noteOnOn(int channel, int note, int velocity) {
    return {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}

// Note-off for `note` on `channel`, release velocity 0.
constexpr ChannelMessage noteOffOn(int channel, int note) {
    return {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note), 0};
}

// Program change to `program` (0..127) on `channel`.
constexpr ChannelMessage programChangeOn(int channel, int program) {
    return {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program), 0};
}

// Controller 10 (pan, 0 left .. 64 centre .. 127 right) on `channel`.
constexpr ChannelMessage panOn(int channel, int pan) {
    return {static_cast<uint8_t>(0xB0 | channel), 10, static_cast<uint8_t>(pan)};
}

}  // namespace cellsonify
