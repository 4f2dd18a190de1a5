#pragma once

#include "playback/PassSettings.h"
#include "playback/SpeedText.h"

#include <optional>
#include <string>

namespace cellsonify {

// What the user has set in the window: the pass settings, plus the speed box
// as typed and the sound switch. The window writes them as the controls
// change; the interval is read from the text when the text changes (the
// last one the timer would accept stays when the new text gives none), so
// playback never reads a widget or parses at each tick.
struct PlaybackSettings : PassSettings {
    std::string speedText = "50";  // the speed box as typed: milliseconds per frame
    bool soundOn = false;          // "Sound ON" selected

    // Frames of blue trail behind the current frame (SpeedText.h).
    int trail() const { return trailLengthFor(speedText); }
    // The timer interval the speed text asks for; nothing keeps the current one.
    std::optional<int> interval() const { return timerIntervalFor(speedText); }

    bool operator==(const PlaybackSettings&) const = default;
};

}  // namespace cellsonify
