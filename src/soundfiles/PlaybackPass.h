#pragma once

#include "soundfiles/MidiFile.h"
#include "playback/FrameNotes.h"
#include "playback/NoteVelocity.h"
#include "playback/VoicingReport.h"

#include <cstdint>
#include <vector>

namespace cellsonify {

struct CellModel;
struct Instrument;
struct NoteLength;
class VoiceTable;

// What one pass of playback sends to the synthesizer with "Sound ON", timed.
struct PlaybackPass {
    std::vector<MidiFileEvent> messages;  // the setup at 0 ms, then each tick's notes, times never falling
    int64_t ticks = 0;                    // timer ticks, the last one passing the last frame
    int intervalMs = 0;                   // milliseconds between ticks
    VoicingReport voicing;                // what merging and the note budget did

    // When the last tick falls: ticks x interval.
    int64_t lengthMs() const { return ticks * intervalMs; }
};

// One pass from frame 0 at `intervalMs` (> 0) per tick, as the window plays
// it: tick k at k x interval ms sounds the notes of the frame it reaches, and
// the pass ends with the tick that passes the last frame. `model` is not moved.
// Sounds the cells as the rows mapping does, notes ringing.
PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument);

// The same pass with each cell's note and channel from `voices` (a table of
// `model`): the voices' setup messages at 0 ms, and with a fixed `length` each
// note's note-off at its exact time (NoteOffSchedule's order; those falling
// after the last tick follow it), each note's velocity as `velocity` has it,
// at most `notesPerFrame` notes starting in a frame (PassStepper).
PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument,
                          const VoiceTable& voices, NoteLength length, VelocityMode velocity = VelocityMode::Fixed,
                          int notesPerFrame = kDefaultNotesPerFrame);

}  // namespace cellsonify
