#pragma once

#include "playback/FrameNotes.h"
#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PitchMapping.h"
#include "sound/Instruments.h"

#include <string>

namespace cellsonify {

// How one pass plays, set once where it is chosen (the window's controls and
// menus, the command line's options) and handed whole to everything that
// plays: the window, MIDI and WAV exports, movies and pictures. The speed is
// kept as typed with what follows from it worked out once, in setSpeedText,
// so no pass reads the text again or rebuilds it from the interval.
struct PassSettings {
    std::string speedText = "50";  // the speed box as typed: milliseconds per frame
    int intervalMs = 50;           // per tick, as the text rounds; 0 when the text never plays
    int trail = 6;                 // frames of blue trail the text gives (SpeedText.h)
    const Instrument* instrument = &kDefaultInstrument;  // one of kInstruments, never null
    PitchMapping mapping;                                // how cells get notes and channels
    NoteLength noteLength;                               // ring, or a note-off after a fixed time
    VelocityMode velocity = VelocityMode::Fixed;         // full velocity, or each event's strength
    int notesPerFrame = kDefaultNotesPerFrame;           // most notes one frame starts (FrameNotes.h)

    // Takes `text` as the speed box's: its interval (0 for a text that gives
    // none above 0: "0", "-3", "1e10", "abc") and its trail.
    void setSpeedText(std::string text);

    bool operator==(const PassSettings&) const = default;
};

}  // namespace cellsonify
