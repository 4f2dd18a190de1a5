#include "video/MovieRender.h"

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

// One render: takes pictures as the sound's time passes them.
class Filming {
public:
    Filming(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures, const MovieProgress& progress)
        : timing_(pass.intervalMs, pass.ticks),
          pictures_(pictures),
          progress_(progress),
          planned_(timing_.frameCount(pass.soundFrames, Mp4Writer::kSampleRate)) {
        const PixelView first = pixelsOf(pictures_.picture(), converted_);
        writer_.emplace(path, MovieFormat{first.width, first.height, pass.scale, timing_.fps()});
    }

    bool takeSound(std::span<const float> block) {
        writer_->addSound(block);
        return takePicturesUntil(timing_.framesStartedBefore(writer_->soundFramesAdded(), Mp4Writer::kSampleRate)) &&
               report();
    }

    // The pictures still due once the sound has ended, then the finished file.
    bool finish() {
        if (!takePicturesUntil(timing_.frameCount(writer_->soundFramesAdded(), Mp4Writer::kSampleRate))) return false;
        writer_->finish();
        return true;
    }

    bool report() {
        const double done = static_cast<double>(frame_) / static_cast<double>(std::max<int64_t>(planned_, 1));
        if (progress_ && !progress_(std::min(done, 1.0))) cancelled_ = true;
        return !cancelled_;
    }

    bool cancelled() const { return cancelled_; }

private:
    bool takePicturesUntil(int64_t frames) {
        for (; frame_ < frames; ++frame_) {
            const int64_t due = timing_.ticksShownBy(frame_);
            bool changed = frame_ == 0;
            for (; ticksRun_ < due; ++ticksRun_, changed = true) pictures_.tick();
            if (changed)
                writer_->addPicture(pixelsOf(pictures_.picture(), converted_));
            else
                writer_->repeatPicture();
            // A long stretch without sound (the tail) still reports and can be cancelled.
            if ((frame_ + 1) % timing_.fps() == 0 && !report()) return false;
        }
        return true;
    }

    MovieTiming timing_;
    PlaybackPictures& pictures_;
    const MovieProgress& progress_;
    int64_t planned_;
    std::optional<Mp4Writer> writer_;
    QImage converted_;
    int64_t frame_ = 0;
    int64_t ticksRun_ = 0;
    bool cancelled_ = false;
};

}  // namespace

bool renderMovie(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures, const SoundRender& sound,
                 const MovieProgress& progress) {
    if (pass.intervalMs <= 0) throw VideoError(path + ": the speed must be at least 1 millisecond per frame");
    Filming film(path, pass, pictures, progress);
    if (!film.report()) return false;
    // The sound renders on a thread of its own while this one films, so the
    // two share the processor instead of taking turns.
    SoundPipe pipe;
    std::thread renderer([&] {
        try {
            const bool whole = sound([&pipe](std::span<const float> block) { return pipe.put(block); });
            pipe.close(whole);
        } catch (...) {
            pipe.close(false, std::current_exception());
        }
    });
    struct Join {
        SoundPipe& pipe;
        std::thread& thread;
        ~Join() {
            pipe.stop();
            thread.join();
        }
    } join{pipe, renderer};
    while (const std::optional<std::vector<float>> block = pipe.take())
        if (!film.takeSound(*block)) return false;
    if (!pipe.whole()) return false;
    return film.finish();
}

}  // namespace cellsonify
