#pragma once

#include "playback/FrameNotes.h"
#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PitchMapping.h"
#include "sound/Instruments.h"

namespace cellsonify {

// How one pass plays, typed once where it is set (the window's controls and
// menus, the command line's options) and read as it is by everything that
// plays: the window, MIDI and WAV exports, movies and pictures.
struct PassSettings {
    int intervalMs = 50;                               // milliseconds per tick
    const Instrument* instrument = &kDefaultInstrument;  // one of kInstruments, never null
    PitchMapping mapping;                              // how cells get notes and channels
    NoteLength noteLength;                             // ring, or a note-off after a fixed time
    VelocityMode velocity = VelocityMode::Fixed;       // full velocity, or each event's strength
    int notesPerFrame = kDefaultNotesPerFrame;         // most notes one frame starts (FrameNotes.h)

    bool operator==(const PassSettings&) const = default;
};

}  // namespace cellsonify
