#include "sound/Instruments.h"

#include <charconv>
#include <string>

namespace cellsonify {

namespace {

std::string squeezed(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '-' || c == '_') {
            continue;
        }
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

}  // namespace

const Instrument* findInstrument(std::string_view name) {
    const std::string wanted = squeezed(name);
    if (wanted.empty()) {
        return nullptr;
    }
    for (const Instrument& instrument : kInstruments) {
        if (squeezed(instrument.caption) == wanted) {
            return &instrument;
        }
    }
    int32_t program = 0;
    const char* end = wanted.data() + wanted.size();
    const auto [stop, error] = std::from_chars(wanted.data(), end, program);
    if (error == std::errc() && stop == end) {
        return findInstrument(program);
    }
    return nullptr;
}

const Instrument* findInstrument(int32_t program) {
    for (const Instrument& instrument : kInstruments) {
        if (instrument.program == program) {
            return &instrument;
        }
    }
    return nullptr;
}

void sendInstrument(MidiOutput& output, const Instrument& instrument) {
    output.shortMessage(programChangeMessage(instrument.program));
}

}  // namespace cellsonify
