#pragma once

#include "playback/PassSettings.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace cellsonify {

// An export that cannot be made; what() is ready to show the user.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The kinds of file a recording exports to: the pass's notes, its sound, a
// movie of the window playing it, a still picture of the window.
enum class ExportFormat { Midi, Wav, Mp4, Png };

// The format `path` names by its extension (".mid", ".wav", ".mp4" or ".png",
// any case); throws ExportError for any other.
ExportFormat exportFormatOf(const std::string& path);

// Whether `format` is drawn from the window's pictures (needs a QApplication).
constexpr bool showsPictures(ExportFormat format) { return format == ExportFormat::Mp4 || format == ExportFormat::Png; }

// Milliseconds per tick for `speedText`, converted as Play converts it; throws
// ExportError when it gives no interval playback would tick at (0, negative,
// not a number, too large).
int exportIntervalOf(const std::string& speedText);

// The instrument `name` names (caption in any case, or program number); throws
// ExportError listing the choices when none does.
const Instrument& exportInstrumentOf(const std::string& name);

// What an export plays: the pass (speed, instrument, pitch mapping, note
// length, velocity), and for audio the seconds left for the last notes to
// ring (none: until they have died away).
struct ExportSettings : PassSettings {
    std::optional<double> tailSeconds;
};

// Told the share of an export done so far (0..1) now and then; returning
// false cancels it.
using ExportProgress = std::function<bool(double done)>;

}  // namespace cellsonify
