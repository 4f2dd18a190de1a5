#include "video/MovieFilming.h"

#include "video/MovieTiming.h"
#include "video/Mp4Writer.h"
#include "video/PixelScale.h"
#include "video/PlaybackPictures.h"
#include "video/SoundPipe.h"
#include "video/VideoError.h"

#include <QImage>

#include <algorithm>
#include <optional>
#include <thread>

namespace cellsonify {

namespace {

// `image` as 32-bit pixels, converted into `converted` only when it is not
// already laid out that way.
PixelView pixelsOf(const QImage& image, QImage& converted) {
    const QImage* use = &image;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        converted = image.convertToFormat(QImage::Format_RGB32);
        use = &converted;
    }
    return {reinterpret_cast<const uint32_t*>(use->constBits()), use->width(), use->height(), use->bytesPerLine()};
}

}  // namespace

struct MovieFilming::State {
    State(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures)
        : timing(pass.intervalMs, pass.ticks),
          pictures(pictures),
          planned(timing.frameCount(pass.soundFrames, Mp4Writer::kSampleRate)) {
        const PixelView first = pixelsOf(pictures.picture(), converted);
        writer.emplace(path, MovieFormat{first.width, first.height, pass.scale, timing.fps()});
    }

    // The sound renderer's thread is told to stop and joined before the
    // writer goes (which removes an unfinished file).
    ~State() {
        pipe.stop();
        if (renderer.joinable()) renderer.join();
    }

    void takePicture() {
        const int64_t due = timing.ticksShownBy(frame);
        bool changed = frame == 0;
        for (; ticksRun < due; ++ticksRun, changed = true) pictures.tick();
        if (changed)
            writer->addPicture(pixelsOf(pictures.picture(), converted));
        else
            writer->repeatPicture();
        ++frame;
    }

    // Pictures that may be taken with the sound received so far: those
    // starting before it ends, and once it has all come, the whole movie.
    int64_t picturesAllowed() const {
        const int64_t sound = writer->soundFramesAdded();
        return soundEnded ? timing.frameCount(sound, Mp4Writer::kSampleRate)
                          : timing.framesStartedBefore(sound, Mp4Writer::kSampleRate);
    }

    MovieTiming timing;
    PlaybackPictures& pictures;
    int64_t planned;
    std::optional<Mp4Writer> writer;
    QImage converted;
    SoundPipe pipe;
    std::thread renderer;
    int64_t frame = 0;
    int64_t ticksRun = 0;
    bool soundEnded = false;
    bool finished = false;
};

MovieFilming::MovieFilming(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures,
                           const SoundRender& sound) {
    if (pass.intervalMs <= 0) throw VideoError(path + ": the speed must be at least 1 millisecond per frame");
    s_ = std::make_unique<State>(path, pass, pictures);
    // The sound renders on a thread of its own while the caller's films, so
    // the two share the processor instead of taking turns.
    s_->renderer = std::thread([&pipe = s_->pipe, sound] {
        try {
            const bool whole = sound([&pipe](std::span<const float> block) { return pipe.put(block); });
            pipe.close(whole);
        } catch (...) {
            pipe.close(false, std::current_exception());
        }
    });
}

MovieFilming::~MovieFilming() = default;

bool MovieFilming::advance(int mostPictures, std::chrono::milliseconds mostWait) {
    State& s = *s_;
    for (int taken = 0; !s.finished && taken < mostPictures;) {
        if (s.frame < s.picturesAllowed()) {
            s.takePicture();
            ++taken;
        } else if (s.soundEnded) {
            s.writer->finish();
            s.finished = true;
        } else if (const std::optional<std::vector<float>> block = s.pipe.take(mostWait)) {
            s.writer->addSound(*block);
        } else if (s.pipe.drained()) {
            // Rethrows what the render threw; a render that stopped by itself is no movie.
            if (!s.pipe.whole()) throw VideoError("the movie's sound stopped before its end");
            s.soundEnded = true;
        } else {
            break;  // no sound yet: the caller may do other work meanwhile
        }
    }
    return s.finished;
}

double MovieFilming::done() const {
    if (s_->finished) return 1.0;
    return std::min(1.0, static_cast<double>(s_->frame) / static_cast<double>(std::max<int64_t>(s_->planned, 1)));
}

}  // namespace cellsonify
