#pragma once

#include "export/OutputFormats.h"
#include "soundfiles/ExportSettings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace cellsonify {

struct CellModel;

// The largest ExportSettings::scale a movie or picture takes.
inline constexpr int kMostPictureScale = 8;

// Movies and pictures are made a slice at a time (a few pictures) on the GUI
// thread, as the window's pictures can only be drawn there.

// One playback pass of `model` from frame 0 under the settings, the pass a WAV export renders
// (exportPass: same ticks, same notes; renderPassSound: the same sound), filmed as an MP4 at `path`: the
// window's picture during that playback, drawn offscreen, with the pass's
// sound (its tail: the last picture held while the last notes ring), which
// renders on a thread of its own, each window pixel drawn as scale x scale
// pixels; in the figure layout (settings.layout) the pictures are the views
// alone with the recording's name and a time counter. Needs a QGuiApplication (the
// offscreen platform will do); refuses bad settings at once with ExportError.
std::unique_ptr<ExportWork> startMovieExport(const CellModel& model, const std::string& path,
                                                const ExportSettings& settings);

// The window's picture of `model` as a PNG at `path`: at rest, as just
// loaded, when the settings' frame is empty; otherwise as the movie shows it
// once playback lights that frame (1 .. FrameCount - 1, as the raster's axis
// counts). In the window layout its controls are settings.controls when
// given (the window's own, as the user left them). As startMovieExport.
std::unique_ptr<ExportWork> startPictureExport(const CellModel& model, const std::string& path,
                                                  const ExportSettings& settings);

// The movie made in one call, on the GUI thread: false, and no file, when
// `progress` cancels; otherwise as startMovieExport and advance.
bool exportMovie(const CellModel& model, const std::string& path, const ExportSettings& settings,
                 const ExportProgress& progress = {});

// The picture written in one call, as startPictureExport and advance.
void exportPicture(const CellModel& model, const std::string& path, const ExportSettings& settings);

}  // namespace cellsonify
