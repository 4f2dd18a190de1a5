#include "soundfiles/PlaybackPass.h"

#include "model/CellModel.h"
#include "playback/PassSettings.h"
#include "playback/PassStepper.h"
#include "playback/VoiceTable.h"
#include "sound/Instruments.h"

namespace cellsonify {

PlaybackPass playbackPass(const CellModel& model, const PassSettings& settings) {
    return playbackPass(model, settings, voiceTable(model, settings.mapping));
}

PlaybackPass playbackPass(const CellModel& model, const PassSettings& settings, const VoiceTable& voices) {
    PlaybackPass pass;
    pass.intervalMs = settings.intervalMs;
    for (const MidiMessage& m : voiceSetupMessages(voices, settings.instrument->program))
        pass.messages.push_back({0, m});
    for (const MidiMessage& m : contextSetupMessages(model.Context)) pass.messages.push_back({0, m});
    PassStepper stepper(model, voices, settings.noteLength, settings.velocity, settings.notesPerFrame);
    const auto write = [&](int64_t atMs, const MidiMessage& m) { pass.messages.push_back({atMs, m}); };
    double position = 0;
    for (bool ended = false; !ended;) {
        ++pass.ticks;
        // The notes do not depend on the trail; the window's is given all the same.
        ended = stepper.step(position, settings.trail, pass.ticks * settings.intervalMs, true, write).passedEnd;
    }
    stepper.sendAll(write);
    pass.voicing = stepper.report();
    return pass;
}

}  // namespace cellsonify
