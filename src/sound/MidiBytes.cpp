#include "sound/MidiBytes.h"

namespace cellsonify {

std::size_t shortMessageLength(uint8_t status) {
    if (status < 0x80) {
        return 1;  // not a status byte: nothing sensible to frame, pass it alone
    }
    if (status < 0xF0) {
        const uint8_t kind = status & 0xF0;
        return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

MidiBytes splitShortMessage(int32_t message) {
    const auto bits = static_cast<uint32_t>(message);
    MidiBytes bytes;
    bytes.data = {static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF),
                  static_cast<uint8_t>((bits >> 16) & 0xFF)};
    bytes.size = shortMessageLength(bytes.data[0]);
    return bytes;
}

}  // namespace cellsonify
