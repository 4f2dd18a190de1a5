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

std::string passMidiBytes(const PlaybackPass& pass) {
    // Files of one note per cell stay byte for byte what they have always been.
    const MidiEncoding encoding = pass.voicing.oneNotePerCell() ? MidiEncoding::Plain : MidiEncoding::Compact;
    try {
        return midiFileBytes(pass.messages, pass.lengthMs(), encoding);
    } catch (const std::invalid_argument&) {
        // Only a gap longer than a delta time spans (about 74 hours) gets here.
        throw ExportError("the speed is too slow for a MIDI file: it would hold a silence of more than 74 hours");
    }
}

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
    return passMidiBytes(exportPass(model, settings));
}

bool exportMidiFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                    const ExportProgress& progress) {
    checkWritableBeside(path);
    return exportMidiFile(exportPass(model, settings), path, progress);
}

bool exportMidiFile(const PlaybackPass& pass, const std::string& path, const ExportProgress& progress) {
    checkWritableBeside(path);
    writeFileSafely(path, passMidiBytes(pass));
    if (progress) progress(1.0);
    return true;
}

bool exportWavFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                   const ExportProgress& progress) {
    checkWritableBeside(path);
    return exportWavFile(exportPass(model, settings), path, settings, progress);
}

bool exportWavFile(const PlaybackPass& pass, const std::string& path, const ExportSettings& settings,
                   const ExportProgress& progress) {
    checkWritableBeside(path);
    passAudioFrames(pass, settings.tailSeconds);  // refuses an impossible length before the slow SoundFont load
    if (progress && !progress(0.0)) return false;
    const auto engines = exportSynthesizers(exportRenderThreads());
    std::vector<SynthEngine*> playing;
    for (const auto& e : engines) playing.push_back(e.get());
    return renderPassToWavFile(playing, pass, settings.tailSeconds, path, progress);
}

}  // namespace cellsonify
