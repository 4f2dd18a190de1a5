#include "sound/MidiMessage.h"

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

}  // namespace cellsonify
