#pragma once

#include "sound/MidiOutput.h"

#include <string>

namespace cellsonify {

// A MIDI output that can say, in one line for the user, why it is not working.
class ReportingOutput : public MidiOutput {
public:
    // Why the last open (or a later background step) failed; empty when all went well.
    virtual std::string lastError() const = 0;
};

// lastError() of `output` when it is a ReportingOutput, else an empty string.
std::string lastErrorOf(const MidiOutput& output);

}  // namespace cellsonify
