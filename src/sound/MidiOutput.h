#pragma once

#include "sound/MidiMessage.h"

namespace cellsonify {

// Where playback's MIDI messages go: a synthesizer or an external port.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // Opens the output; 0 on success, any other value on failure. Called once.
    virtual int open() = 0;
    // Sends one short message at once. Callers ignore failures; sending on an
    // output whose open failed does nothing.
    virtual void shortMessage(const MidiMessage& message) = 0;
};

}  // namespace cellsonify
