#include "export/RecordingExport.h"

#include "files/SafeOutput.h"
#include "soundfiles/MidiFile.h"
#include "soundfiles/PassAudio.h"
#include "soundfiles/PlaybackPass.h"
#include "playback/VoiceTable.h"
#include "sound/SynthEngine.h"

#include <stdexcept>
#include <vector>

namespace cellsonify {

namespace {

std::string midiBytesOf(const PlaybackPass& pass) {
    try {
        return midiFileBytes(pass.messages, pass.lengthMs());
    } catch (const std::invalid_argument&) {
        // Only a gap longer than a delta time spans (about 74 hours) gets here.
        throw ExportError("the speed is too slow for a MIDI file: it would hold a silence of more than 74 hours");
    }
}

}  // namespace

PlaybackPass exportPass(const CellModel& model, const ExportSettings& settings) {
    refuseSpeedThatNeverPlays(settings.pass);
    try {
        return playbackPass(model, settings.pass);
    } catch (const SoundMappingError& e) {
        throw ExportError(e.what());
    }
}

namespace {

// Finding out that the folder is read-only only after a long render would
// waste it; a throw-away output beside `path` tells at once.
void checkWritableBeside(const std::string& path) { const SafeOutput probe(path); }

}  // namespace

std::string exportMidiBytes(const CellModel& model, const ExportSettings& settings) {
    return midiBytesOf(exportPass(model, settings));
}

bool exportMidiFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                    const ExportProgress& progress) {
    checkWritableBeside(path);
    writeFileSafely(path, midiBytesOf(exportPass(model, settings)));
    if (progress) progress(1.0);
    return true;
}

bool exportWavFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                   const ExportProgress& progress) {
    checkWritableBeside(path);
    const PlaybackPass pass = exportPass(model, settings);
    passAudioFrames(pass, settings.tailSeconds);  // refuses an impossible length before the slow SoundFont load
    if (progress && !progress(0.0)) return false;
    const auto engines = exportSynthesizers(exportRenderThreads());
    std::vector<SynthEngine*> playing;
    for (const auto& e : engines) playing.push_back(e.get());
    return renderPassToWavFile(playing, pass, settings.tailSeconds, path, progress);
}

}  // namespace cellsonify
