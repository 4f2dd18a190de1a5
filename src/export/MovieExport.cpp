#include "export/MovieExport.h"

#include "soundfiles/PassAudio.h"
#include "soundfiles/PlaybackPass.h"
#include "export/RecordingExport.h"
#include "face/UserScale.h"
#include "export/PassPictures.h"
#include "model/CellModel.h"
#include "sound/SynthEngine.h"
#include "video/MovieFilming.h"
#include "video/StillPicture.h"

#include <algorithm>
#include <vector>

namespace cellsonify {

namespace {

UserScale pictureWindowOf(const RasterSpan& span) { return {span.left, span.top, span.width, span.height}; }

// A slice: about as long as a few pictures take to draw and encode at the
// default scale, short enough that the window answers the user meanwhile.
constexpr int kPicturesPerSlice = 3;
constexpr std::chrono::milliseconds kMostSoundWait{10};
// Ticks run per slice on the way to a still picture's frame.
constexpr int64_t kTicksPerSlice = 200;

void checkScale(int scale) {
    if (scale < 1 || scale > kMostPictureScale)
        throw ExportError("the zoom must be a whole number from 1 to " + std::to_string(kMostPictureScale) +
                          ", not " + std::to_string(scale));
}

class MovieMaking : public ExportWork {
public:
    MovieMaking(const CellModel& model, const std::string& path, const ExportSettings& settings)
        : pass_(exportPass(model, settings)),
          tailSeconds_(settings.tailSeconds),
          pictures_(model, settings.pass, settings.layout) {
        MoviePass movie;
        movie.intervalMs = pass_.intervalMs;
        movie.ticks = pass_.ticks;
        movie.soundFrames = passAudioFrames(pass_, tailSeconds_);  // refuses an impossible length at once
        movie.scale = settings.scale;
        if (settings.rasterWindow) pictures_.showRasterWindow(pictureWindowOf(*settings.rasterWindow));
        pictures_.play();
        // The synthesizers load on the sound's own thread, so the SoundFont
        // never holds up the caller's.
        film_.emplace(path, movie, pictures_, [this](const SoundBlockSink& sink) {
            const auto engines = exportSynthesizers(exportRenderThreads());
            std::vector<SynthEngine*> playing;
            for (const auto& e : engines) playing.push_back(e.get());
            return renderPassSound(playing, pass_, tailSeconds_, sink);
        });
    }

    bool advance() override { return film_->advance(kPicturesPerSlice, kMostSoundWait); }
    double done() const override { return film_->done(); }
    VoicingReport voicing() const override { return pass_.voicing; }

private:
    PlaybackPass pass_;
    std::optional<double> tailSeconds_;
    PassPictures pictures_;
    std::optional<MovieFilming> film_;  // last: its sound thread reads the members above
};

class PictureMaking : public ExportWork {
public:
    PictureMaking(const CellModel& model, std::string path, const ExportSettings& settings)
        : path_(std::move(path)),
          scale_(settings.scale),
          ticks_(settings.frame.value_or(0)),
          controls_(settings.controls),
          pictures_(model, settings.pass, settings.layout) {
        if (settings.frame) pictures_.play();
        if (settings.rasterWindow) pictures_.showRasterWindow(pictureWindowOf(*settings.rasterWindow));
    }

    bool advance() override {
        if (written_) return true;
        const int64_t until = std::min(ticks_, ticksRun_ + kTicksPerSlice);
        for (; ticksRun_ < until; ++ticksRun_) pictures_.tick();
        if (ticksRun_ < ticks_) return false;
        if (controls_) pictures_.showControls(*controls_);
        writePicture(path_, pictures_.picture(), scale_);
        written_ = true;
        return true;
    }
    double done() const override {
        return written_ ? 1.0 : static_cast<double>(ticksRun_) / static_cast<double>(ticks_ + 1);
    }

private:
    std::string path_;
    int scale_;
    int64_t ticks_;
    int64_t ticksRun_ = 0;
    bool written_ = false;
    std::optional<ShownControls> controls_;
    PassPictures pictures_;
};

}  // namespace

std::unique_ptr<ExportWork> startMovieExport(const CellModel& model, const std::string& path,
                                                const ExportSettings& settings) {
    checkScale(settings.scale);
    return std::make_unique<MovieMaking>(model, path, settings);
}

std::unique_ptr<ExportWork> startPictureExport(const CellModel& model, const std::string& path,
                                                  const ExportSettings& settings) {
    const std::optional<int64_t> frame = settings.frame;
    checkScale(settings.scale);
    exportPass(model, settings);  // a speed or mapping that never plays is refused as for a movie
    // Playback lights frame N on its Nth tick; on reaching the last frame it
    // loops back to the start at once, so the window never rests there.
    if (frame && (*frame < 1 || *frame >= model.FrameCount))
        throw ExportError("frame " + std::to_string(*frame) + " cannot be pictured: the recording has frames 1 to " +
                          std::to_string(model.FrameCount) + ", and playback shows frames 1 to " +
                          std::to_string(static_cast<int64_t>(model.FrameCount) - 1) +
                          " (on reaching the last it starts again at once)");
    return std::make_unique<PictureMaking>(model, path, settings);
}

bool exportMovie(const CellModel& model, const std::string& path, const ExportSettings& settings,
                 const ExportProgress& progress) {
    checkScale(settings.scale);
    if (progress && !progress(0.0)) return false;
    const std::unique_ptr<ExportWork> movie = startMovieExport(model, path, settings);
    for (;;) {
        if (progress && !progress(movie->done())) return false;
        if (movie->advance()) return true;
    }
}

void exportPicture(const CellModel& model, const std::string& path, const ExportSettings& settings) {
    const std::unique_ptr<ExportWork> picture = startPictureExport(model, path, settings);
    while (!picture->advance()) {
    }
}

}  // namespace cellsonify
