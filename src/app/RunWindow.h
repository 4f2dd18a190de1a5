#pragma once

namespace cellsonify {

class MidiOutput;

// Runs the application: the main window (with `midi` as its MIDI output, if
// given) until it closes. A first argument is treated as a file dropped on the
// raster. Returns the exit code.
int runWindow(int argc, char** argv, MidiOutput* midi = nullptr);

}  // namespace cellsonify
