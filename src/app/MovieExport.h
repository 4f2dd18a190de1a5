#pragma once

#include "export/ExportOptions.h"

#include <cstdint>
#include <optional>
#include <string>

namespace cellsonify {

struct CellModel;

// What a movie or still picture of a recording shows and plays.
struct PictureSettings {
    std::string speedText = "50";            // as typed in the speed box; the tick interval is read from it
    const Instrument* instrument = nullptr;  // nullptr: the default instrument
    std::optional<double> tailSeconds;       // movie: the last picture held while the last notes ring (none: until quiet)
    int scale = 2;                           // each window pixel becomes scale x scale (1..kMostPictureScale)
};

inline constexpr int kMostPictureScale = 8;

// One playback pass of `model` from frame 0, the pass a WAV export renders
// (same ticks, same notes, same tail), filmed as an MP4 at `path`: the
// window's picture during that playback, drawn offscreen, with the pass's
// sound. Must run on the GUI thread under a QApplication (the offscreen
// platform will do). False, and no file, when `progress` cancels; throws
// ExportError or VideoError (what() ready for the user), leaving no file.
bool exportMovie(const CellModel& model, const std::string& path, const PictureSettings& settings,
                 const ExportProgress& progress = {});

// The window's picture of `model` as a PNG at `path`: at rest, as just
// loaded, when `frame` is empty; otherwise as the movie shows it once
// playback has reached `frame` (0 .. FrameCount - 1). Same thread rule and
// errors as exportMovie.
void exportPicture(const CellModel& model, const std::string& path, const PictureSettings& settings,
                   std::optional<int64_t> frame = std::nullopt);

}  // namespace cellsonify
