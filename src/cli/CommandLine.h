#pragma once

namespace cellsonify {

// The program's entry: "inspect", "generate", "ports" and "render" commands,
// or the window (optionally with a data file and "--midi-port NAME").
// Returns the process exit code.
int runCommandLine(int argc, char** argv);

}  // namespace cellsonify
