#pragma once

#include "playback/NoteOffSchedule.h"
#include "playback/NoteVelocity.h"
#include "playback/PitchMapping.h"
#include "playback/SpeedText.h"

#include <optional>
#include <string>

namespace cellsonify {

// What the user has set for playback, written by the window as the controls
// change and read by playback when it needs them (the speed text at each tick
// and transport action, the sound switch at each note, the instrument at
// export), so playback never reads a widget.
struct PlaybackSettings {
    std::string speedText = "50";  // the speed box as typed: milliseconds per frame
    bool soundOn = false;          // "Sound ON" selected
    int instrument = 1;            // instrument option 1..7 (Piano .. Tinkle Bell)
    PitchMapping mapping;          // how cells get notes (Sound menu)
    NoteLength noteLength;         // ring, or a note-off after a fixed time (Sound menu)
    VelocityMode velocity = VelocityMode::Fixed;  // full velocity, or each event's strength (Sound menu)

    // Frames of blue trail behind the current frame (SpeedText.h).
    int trail() const { return trailLengthFor(speedText); }
    // The timer interval the speed text asks for; nothing keeps the current one.
    std::optional<int> interval() const { return timerIntervalFor(speedText); }

    bool operator==(const PlaybackSettings&) const = default;
};

}  // namespace cellsonify
