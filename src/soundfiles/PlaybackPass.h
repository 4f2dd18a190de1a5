#pragma once

#include "soundfiles/MidiFile.h"
#include "playback/VoicingReport.h"

#include <cstdint>
#include <vector>

namespace cellsonify {

struct CellModel;
struct PassSettings;
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

// One pass from frame 0 as the window plays it under `settings` (interval
// > 0): tick k at k x interval ms sounds the notes of the frame it reaches,
// and the pass ends with the tick that passes the last frame. Each cell's
// note and channel come from the settings' mapping, with its setup messages
// at 0 ms; with a fixed note length each note's note-off at its exact time
// (NoteOffSchedule's order; those falling after the last tick follow it);
// each note's velocity as the settings' mode has it. `model` is not moved.
// Throws SoundMappingError for a mapping the recording cannot sound.
PlaybackPass playbackPass(const CellModel& model, const PassSettings& settings);
// The same pass with each cell's note and channel from `voices` (a table of
// `model`) instead of the settings' mapping.
PlaybackPass playbackPass(const CellModel& model, const PassSettings& settings, const VoiceTable& voices);

}  // namespace cellsonify
