#pragma once

#include "playback/PassSettings.h"
#include "soundfiles/ExportError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cellsonify {

// Throws ExportError when the pass's speed text gives no interval playback
// would tick at (0, negative, not a number, too large).
void refuseSpeedThatNeverPlays(const PassSettings& pass);

// The instrument `name` names (caption in any case, or program number); throws
// ExportError listing the choices when none does.
const Instrument& exportInstrumentOf(const std::string& name);

// A part of a recording as the raster shows it: frames left .. left + width
// across, raster rows top .. top + height down.
struct RasterSpan {
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;
};

// How a movie or picture lays a recording out.
enum class PictureLayout {
    Window,  // the window as it looks, every control shown
    Figure,  // the raster, cell map and keyboard with the recording's name and a time counter; no controls
};
// The layout `name` names ("window", "figure"), or none.
std::optional<PictureLayout> parsePictureLayout(std::string_view name);

// The transport button and sound switch as the window shows them.
struct ShownControls {
    bool playing = false;  // Stop showing rather than Play
    bool soundOn = false;  // "Sound ON" selected
};

// What an export plays, the pass whole, and beside it the options of the
// outputs that take them (the table of outputs says which take which).
struct ExportSettings {
    PassSettings pass;                  // speed, instrument, mapping, note length, velocity
    std::optional<double> tailSeconds;  // sound: seconds for the last notes to ring; none: until they die away
    int scale = 2;                      // pictures: each window pixel becomes scale x scale (1..8)
    std::optional<int64_t> frame;       // a still picture: the frame playback has reached; none: at rest
    // Pictures: the part of the recording the raster shows, as the window
    // showed it (it follows playback as the window's does); none: the whole.
    std::optional<RasterSpan> rasterWindow;
    PictureLayout layout = PictureLayout::Window;  // pictures: the window, or a figure of the views
    // A still in the window layout: its controls as the user left them; none:
    // as a pass shows them (Stop once playing, "Sound ON").
    std::optional<ShownControls> controls;
};

// Told the share of an export done so far (0..1) now and then; returning
// false cancels it.
using ExportProgress = std::function<bool(double done)>;

}  // namespace cellsonify
