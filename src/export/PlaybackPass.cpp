#include "export/PlaybackPass.h"

#include "model/CellModel.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PitchMapping.h"
#include "playback/SoundingNotes.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"

namespace cellsonify {

PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument) {
    return playbackPass(model, intervalMs, instrument, voiceTable(model, PitchMapping{}), NoteLength{});
}

PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument,
                          const VoiceTable& voices, NoteLength length, VelocityMode velocity) {
    PlaybackPass pass;
    pass.intervalMs = intervalMs;
    for (const MidiMessage& m : voiceSetupMessages(voices, instrument.program))
        pass.messages.push_back({0, m});
    NoteOffSchedule offs(length);
    const auto write = [&](const TimedNoteOff& off) { pass.messages.push_back({off.atMs, off.off}); };
    // The stepper's own arithmetic: a double position advanced by one per tick
    // and the same end test, so the pass stops where playback rewinds.
    const double lastFrame = static_cast<double>(model.FrameCount) - 1.0;
    double position = 0;
    do {
        position += 1.0;
        ++pass.ticks;
        const int64_t at = pass.ticks * intervalMs;
        offs.sendDue(at, write);
        forEachSoundingVoice(model, voices, position, velocity, [&](CellVoice voice, int32_t velocity) {
            const MidiMessage on = noteOnMessage(voice.channel, voice.note, velocity);
            offs.beforeNoteOn(at, on, write);
            pass.messages.push_back({at, on});
        });
    } while (!(position > lastFrame));
    offs.sendAll(write);
    return pass;
}

}  // namespace cellsonify
