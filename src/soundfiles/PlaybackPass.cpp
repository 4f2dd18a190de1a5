#include "soundfiles/PlaybackPass.h"

#include "model/CellModel.h"
#include "playback/PitchMapping.h"
#include "playback/PassStepper.h"
#include "playback/SpeedText.h"
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
    for (const MidiMessage& m : contextSetupMessages(model.Context)) pass.messages.push_back({0, m});
    PassStepper stepper(model, voices, length, velocity);
    const auto write = [&](int64_t atMs, const MidiMessage& m) { pass.messages.push_back({atMs, m}); };
    // The notes do not depend on the trail; the window's at this speed is given all the same.
    const int trail = trailLengthFor(std::to_string(intervalMs));
    double position = 0;
    for (bool ended = false; !ended;) {
        ++pass.ticks;
        ended = stepper.step(position, trail, pass.ticks * intervalMs, true, write).passedEnd;
    }
    stepper.sendAll(write);
    return pass;
}

}  // namespace cellsonify
