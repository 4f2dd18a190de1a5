#include "app/MovieExport.h"

#include "export/PassAudio.h"
#include "export/PlaybackPass.h"
#include "app/WindowPictures.h"
#include "model/CellModel.h"
#include "sound/Instruments.h"
#include "sound/SynthEngine.h"
#include "video/MovieRender.h"
#include "video/StillPicture.h"

#include <vector>

namespace cellsonify {

namespace {

const Instrument& instrumentOf(const PictureSettings& settings) {
    return settings.instrument ? *settings.instrument : kDefaultInstrument;
}

void checkScale(int scale) {
    if (scale < 1 || scale > kMostPictureScale)
        throw ExportError("the scale must be a whole number from 1 to " + std::to_string(kMostPictureScale) +
                          ", not " + std::to_string(scale));
}

}  // namespace

bool exportMovie(const CellModel& model, const std::string& path, const PictureSettings& settings,
                 const ExportProgress& progress) {
    checkScale(settings.scale);
    const int interval = exportIntervalOf(settings.speedText);
    const PlaybackPass pass = playbackPass(model, interval, instrumentOf(settings));
    MoviePass movie;
    movie.intervalMs = interval;
    movie.ticks = pass.ticks;
    movie.soundFrames = passAudioFrames(pass, settings.tailSeconds);  // refuses an impossible length at once
    movie.scale = settings.scale;
    if (progress && !progress(0.0)) return false;

    const auto engines = exportSynthesizers(exportRenderThreads());
    std::vector<SynthEngine*> playing;
    for (const auto& e : engines) playing.push_back(e.get());
    WindowPictures pictures(model, settings.speedText, instrumentOf(settings));
    pictures.play();
    return renderMovie(
        path, movie, pictures,
        [&](const SoundSink& sink) { return renderPassSound(playing, pass, settings.tailSeconds, sink); }, progress);
}

void exportPicture(const CellModel& model, const std::string& path, const PictureSettings& settings,
                   std::optional<int64_t> frame) {
    checkScale(settings.scale);
    exportIntervalOf(settings.speedText);  // a speed that never plays is refused here as for a movie
    if (frame && (*frame < 0 || *frame >= model.FrameCount))
        throw ExportError("frame " + std::to_string(*frame) + " is not in the recording: it has frames 0 to " +
                          std::to_string(static_cast<int64_t>(model.FrameCount) - 1));
    WindowPictures pictures(model, settings.speedText, instrumentOf(settings));
    if (frame) {
        pictures.play();
        for (int64_t tick = 0; tick < *frame; ++tick) pictures.tick();
    }
    writePicture(path, pictures.picture(), settings.scale);
}

}  // namespace cellsonify
