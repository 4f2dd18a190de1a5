#pragma once

#include <string>

namespace cellsonify {

class MidiOutput;

// Runs the application: the main window (with `midi` as its MIDI output; null
// means no sound) until it closes. A non-empty `file` is loaded as if it had
// been dropped on the raster. Returns the exit code.
int runWindow(int argc, char** argv, MidiOutput* midi, const std::string& file);

}  // namespace cellsonify
