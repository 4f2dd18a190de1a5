#include "export/PlaybackPass.h"

#include "model/CellModel.h"
#include "playback/NoteOffSchedule.h"
#include "playback/PitchMapping.h"
#include "playback/PassTick.h"
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
    NoteOffSchedule offs(length);
    const auto write = [&](const TimedNoteOff& off) { pass.messages.push_back({off.atMs, off.off}); };
    // The notes do not depend on the trail; the window's at this speed is given all the same.
    PassTicks ticks(model.FrameCount, trailLengthFor(std::to_string(intervalMs)));
    while (const std::optional<PassTick> tick = ticks.next()) {
        const int64_t at = ticks.count() * intervalMs;
        offs.sendDue(at, write);
        forEachNoteOn(model, voices, *tick, velocity, [&](const MidiMessage& on) {
            offs.beforeNoteOn(at, on, write);
            pass.messages.push_back({at, on});
        });
    }
    pass.ticks = ticks.count();
    offs.sendAll(write);
    return pass;
}

}  // namespace cellsonify
