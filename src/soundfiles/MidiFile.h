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

// A Standard MIDI File, format 0, division 1000 with a tempo of 1,000,000 us
// per quarter note (so one tick is one millisecond), holding the tempo, then
// `messages` in order (times must not decrease), then the end of the track at
// `endMs` or with the last message, whichever is later. Messages are written
// with their full status byte (no running status); program changes take one
// data byte, every other status two. Throws std::invalid_argument for times
// out of order or further apart than a delta time spans (0x0FFFFFFF ms).
std::string midiFileBytes(const std::vector<MidiFileEvent>& messages, int64_t endMs = 0);

}  // namespace cellsonify
