#pragma once

#include "export/MidiFile.h"

#include <cstdint>
#include <vector>

namespace cellsonify {

struct CellModel;
struct Instrument;

// What one pass of playback sends to the synthesizer with "Sound ON", timed.
struct PlaybackPass {
    std::vector<MidiFileEvent> messages;  // the program change at 0 ms, then each tick's note-ons
    int64_t ticks = 0;                    // timer ticks, the last one passing the last frame
    int intervalMs = 0;                   // milliseconds between ticks

    // When the last tick falls: ticks x interval.
    int64_t lengthMs() const { return ticks * intervalMs; }
};

// One pass from frame 0 at `intervalMs` (> 0) per tick, as the window plays
// it: tick k at k x interval ms sounds the notes of the frame it reaches, and
// the pass ends with the tick that passes the last frame. `model` is not moved.
PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument);

}  // namespace cellsonify
