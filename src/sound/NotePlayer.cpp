#include "sound/NotePlayer.h"

namespace cellsonify {

int32_t noteVelocity(double currentFrame, int32_t frameCount) {
    // Wraps like 32-bit hardware arithmetic instead of overflowing for INT32_MIN.
    const auto lastFrame = static_cast<int32_t>(static_cast<int64_t>(frameCount) - 1);
    return currentFrame > static_cast<double>(lastFrame) ? 0 : 127;
}

void playNote(MidiOutput& output, bool soundOn, double currentFrame, int32_t frameCount,
              int32_t note) {
    if (!soundOn) {
        return;
    }
    output.shortMessage(noteOnMessage(note, noteVelocity(currentFrame, frameCount)));
}

}  // namespace cellsonify
