#pragma once

#include "sound/MidiOutput.h"

#include <cstdint>

namespace cellsonify {

// Velocity of a note played at `currentFrame` of a recording with `frameCount`
// frames: 127, or 0 once the position has gone past the last frame
// (currentFrame > frameCount - 1, the subtraction wrapping in 32 bits).
int32_t noteVelocity(double currentFrame, int32_t frameCount);

// Sends the note-on for `note` when sound is on; sends nothing when it is off.
// The caller reads the sound switch at each call, so this takes its state.
void playNote(MidiOutput& output, bool soundOn, double currentFrame, int32_t frameCount,
              int32_t note);

}  // namespace cellsonify
