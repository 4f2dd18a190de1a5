#pragma once

#include "sound/MidiMessage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// One channel message at a time in milliseconds from the start.
struct MidiFileEvent {
    int64_t timeMs = 0;
    MidiMessage message;
    bool operator==(const MidiFileEvent&) const = default;
};

// How a MIDI file spells its messages; both decode to the same notes.
enum class MidiEncoding {
    // Every message with its own status byte, as files have always been written.
    Plain,
    // Running status (a status byte only where it changes), note-offs of
    // release velocity 0 as note-ons of velocity 0, and the messages of one
    // instant grouped by channel (each channel's own order kept): about a
    // quarter smaller for passes of many notes.
    Compact,
};

// A Standard MIDI File, format 0, division 1000 with a tempo of 1,000,000 us
// per quarter note (so one tick is one millisecond), holding the tempo, then
// `messages` in order (times must not decrease), then the end of the track at
// `endMs` or with the last message, whichever is later. Program changes take
// one data byte, every other status two. Throws std::invalid_argument for
// times out of order or further apart than a delta time spans (0x0FFFFFFF ms).
std::string midiFileBytes(const std::vector<MidiFileEvent>& messages, int64_t endMs = 0,
                          MidiEncoding encoding = MidiEncoding::Plain);

}  // namespace cellsonify
