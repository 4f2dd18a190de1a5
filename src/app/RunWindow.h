#pragma once

#include <string>
#include <vector>

namespace cellsonify {

class MidiOutput;

// Runs the application: the application window (with `midi`, playing on
// `midiPort` or the built-in synthesizer when that is empty, as its start
// output; null means no sound) until it closes. `qtArguments` is the program name followed
// by Qt's own options. A non-empty `file` is loaded whatever its name; one
// that is refused is said so, in the window and on stderr. Returns the exit code.
int runWindow(const std::vector<std::string>& qtArguments, MidiOutput* midi, const std::string& midiPort,
              const std::string& file);

}  // namespace cellsonify
