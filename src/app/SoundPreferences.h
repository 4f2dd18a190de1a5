#pragma once

#include "playback/FrameNotes.h"
#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PitchMapping.h"

#include <string>

class QSettings;

namespace cellsonify {

// The Sound menu's choices as kept across runs. The original controls
// (instrument, sound switch, speed) are not kept: they start as they always did.
struct SoundPreferences {
    PitchMapping mapping;
    NoteLength noteLength;
    VelocityMode velocity = VelocityMode::Fixed;
    int notesPerFrame = kDefaultNotesPerFrame;
    std::string outputPort;  // empty: the built-in synthesizer

    bool operator==(const SoundPreferences&) const = default;
};

// The preferences stored in `settings`; a value that does not read (edited
// by hand, from another version) falls back to its default.
SoundPreferences loadSoundPreferences(QSettings& settings);
void saveSoundPreferences(QSettings& settings, const SoundPreferences& preferences);

}  // namespace cellsonify
