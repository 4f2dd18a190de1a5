#pragma once

#include "playback/PassSettings.h"

namespace cellsonify {

// What the user has set in the window: the pass settings (an export takes
// them as they stand) and the sound switch. The window writes them as the
// controls change, the speed through PassSettings::setSpeedText, so playback
// never reads a widget or parses at each tick.
struct PlaybackSettings {
    PassSettings pass;
    bool soundOn = false;  // "Sound ON" selected

    bool operator==(const PlaybackSettings&) const = default;
};

}  // namespace cellsonify
