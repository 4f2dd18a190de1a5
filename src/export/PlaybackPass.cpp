#include "export/PlaybackPass.h"

#include "model/CellModel.h"
#include "playback/SoundingNotes.h"
#include "sound/Instruments.h"

namespace cellsonify {

PlaybackPass playbackPass(const CellModel& model, int intervalMs, const Instrument& instrument) {
    PlaybackPass pass;
    pass.intervalMs = intervalMs;
    pass.messages.push_back({0, programChangeMessage(instrument.program)});
    // The stepper's own arithmetic: a double position advanced by one per tick
    // and the same end test, so the pass stops where playback rewinds.
    const double lastFrame = static_cast<double>(model.FrameCount) - 1.0;
    double position = 0;
    do {
        position += 1.0;
        ++pass.ticks;
        const int64_t at = pass.ticks * intervalMs;
        forEachSoundingNote(model, position, [&](int note, int32_t velocity) {
            pass.messages.push_back({at, noteOnMessage(note, velocity)});
        });
    } while (!(position > lastFrame));
    return pass;
}

}  // namespace cellsonify
