#include "soundfiles/MidiFile.h"

#include <algorithm>
#include <stdexcept>

namespace cellsonify {

namespace {

void put32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

// Variable-length quantity: seven bits a byte, high bit set on all but the last.
void putVarLen(std::string& out, uint32_t v) {
    char bytes[5];
    int n = 0;
    do {
        bytes[n++] = static_cast<char>(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out += static_cast<char>(bytes[--n] | 0x80);
    out += bytes[0];
}

uint32_t deltaTime(int64_t from, int64_t to) {
    if (to < from) throw std::invalid_argument("MIDI messages out of time order");
    if (to - from > 0x0FFFFFFF) throw std::invalid_argument("MIDI message too far apart for one delta time");
    return static_cast<uint32_t>(to - from);
}

// The messages of each instant grouped by channel, each channel's order kept:
// a receiver acts on one instant's messages of different channels alike in
// any order, and grouped they share status bytes.
std::vector<MidiFileEvent> groupedByChannel(std::vector<MidiFileEvent> messages) {
    auto begin = messages.begin();
    while (begin != messages.end()) {
        const auto end = std::find_if(begin, messages.end(), [&](const MidiFileEvent& e) { return e.timeMs != begin->timeMs; });
        std::stable_sort(begin, end, [](const MidiFileEvent& a, const MidiFileEvent& b) {
            return a.message.channel() < b.message.channel();
        });
        begin = end;
    }
    return messages;
}

// A note-off of release velocity 0 is a note-on of velocity 0 on the wire.
uint8_t compactStatus(const MidiMessage& m) {
    return m.kind() == 0x80 && m.data2 == 0 ? static_cast<uint8_t>(0x90 | m.channel()) : m.status;
}

}  // namespace

std::string midiFileBytes(const std::vector<MidiFileEvent>& messages, int64_t endMs, MidiEncoding encoding) {
    const bool compact = encoding == MidiEncoding::Compact;
    std::string track;
    putVarLen(track, 0);
    track += "\xFF\x51\x03\x0F\x42\x40";  // tempo: 1,000,000 us per quarter note
    int64_t now = 0;
    int running = -1;  // the status in effect; the meta event above leaves none
    std::vector<MidiFileEvent> grouped;
    if (compact) grouped = groupedByChannel(messages);
    for (const MidiFileEvent& m : compact ? grouped : messages) {
        putVarLen(track, deltaTime(now, m.timeMs));
        now = m.timeMs;
        const uint8_t status = compact ? compactStatus(m.message) : m.message.status;
        if (!compact || status != running) track += static_cast<char>(status);
        running = status;
        track += static_cast<char>(m.message.data1 & 0x7F);
        if (m.message.kind() != 0xC0 && m.message.kind() != 0xD0) track += static_cast<char>(m.message.data2 & 0x7F);
    }
    putVarLen(track, deltaTime(now, std::max(now, endMs)));
    track += std::string("\xFF\x2F\x00", 3);

    std::string out = "MThd";
    put32(out, 6);
    put16(out, 0);     // format 0: one track
    put16(out, 1);     // one track
    put16(out, 1000);  // ticks per quarter note
    out += "MTrk";
    put32(out, static_cast<uint32_t>(track.size()));
    out += track;
    return out;
}

}  // namespace cellsonify
