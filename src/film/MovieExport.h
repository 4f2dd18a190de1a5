#pragma once

#include "face/UserScale.h"
#include "soundfiles/ExportOptions.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace cellsonify {

struct CellModel;

// What a movie or still picture of a recording shows and plays: the pass and
// its sound as a WAV export has them (the tail: the last picture held while
// the last notes ring), each window pixel drawn as scale x scale pixels.
struct PictureSettings : ExportSettings {
    int scale = 2;  // 1..kMostPictureScale
    // The part of the recording the raster shows (see RasterWindow.h), as the
    // window showed it; none: the whole. It follows playback as the window's does.
    std::optional<UserScale> rasterWindow;
};

inline constexpr int kMostPictureScale = 8;

// A movie or picture export made a slice at a time on the GUI thread (the
// window's pictures can only be drawn there), so an event loop can keep
// turning between slices. Destroyed unfinished, it leaves no file.
class PictureExport {
public:
    virtual ~PictureExport() = default;
    // Does the next slice of the work (a few pictures; a moment, not seconds);
    // true once the file is complete and in place. Throws ExportError or
    // VideoError (what() ready for the user), leaving no file.
    virtual bool advance() = 0;
    // Share of the work done (0..1).
    virtual double done() const = 0;
};

// One playback pass of `model` from frame 0, the pass a WAV export renders
// (exportPass: same ticks, same notes; renderPassSound: the same sound), filmed as an MP4 at `path`: the
// window's picture during that playback, drawn offscreen, with the pass's
// sound, which renders on a thread of its own. Needs a QGuiApplication (the
// offscreen platform will do); refuses bad settings at once with ExportError.
std::unique_ptr<PictureExport> startMovieExport(const CellModel& model, const std::string& path,
                                                const PictureSettings& settings);

// The window's picture of `model` as a PNG at `path`: at rest, as just
// loaded, when `frame` is empty; otherwise as the movie shows it once
// playback lights `frame` (1 .. FrameCount - 1, as the raster's axis counts). As startMovieExport.
std::unique_ptr<PictureExport> startPictureExport(const CellModel& model, const std::string& path,
                                                  const PictureSettings& settings,
                                                  std::optional<int64_t> frame = std::nullopt);

// The movie made in one call, on the GUI thread: false, and no file, when
// `progress` cancels; otherwise as startMovieExport and advance.
bool exportMovie(const CellModel& model, const std::string& path, const PictureSettings& settings,
                 const ExportProgress& progress = {});

// The picture written in one call, as startPictureExport and advance.
void exportPicture(const CellModel& model, const std::string& path, const PictureSettings& settings,
                   std::optional<int64_t> frame = std::nullopt);

}  // namespace cellsonify
