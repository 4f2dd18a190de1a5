#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cellsonify {

class MidiOutput;

// What "cellsonify [--midi-port NAME] [FILE]" asks of the window.
struct WindowRequest {
    std::string file;                      // data file to open at once; empty: none
    std::string midiPort;                  // part of a MIDI port's name; empty: the environment's choice
    std::vector<std::string> qtArguments;  // Qt's own options (-platform NAME, -style NAME...), as given
};
using OpenWindow = std::function<int(const WindowRequest&)>;

// Moves Qt's own command-line options (with their values) out of `args` and
// returns them in order, so the parser never sees them and the window gets them.
std::vector<std::string> takeQtOptions(std::vector<std::string>& args);

// Parses `args` (without the program name) and runs what they ask: a
// subcommand (inspect, generate, ports, render, convert; each with --help), --help,
// --version, or the window through `openWindow`. Returns the exit code:
// 0 done, 1 failed, with "error: <message>" on `err`.
int runCommandLine(std::vector<std::string> args, std::ostream& out, std::ostream& err, bool errIsTerminal,
                   const OpenWindow& openWindow);

// Starts the window itself: Qt's arguments (the program name first), the
// MIDI output it starts with (null: no sound), the port asked for and the
// file to open. The program passes runWindow; the command line never links
// the window, so its subcommands (render included) run without it.
using WindowLauncher = std::function<int(const std::vector<std::string>& qtArguments, MidiOutput* midi,
                                         const std::string& midiPort, const std::string& file)>;

// The program's entry: the above on the process's arguments and streams,
// opening the window through `launch` (after checking there is a display
// and making the sound output).
int runCommandLine(int argc, char** argv, const WindowLauncher& launch);

}  // namespace cellsonify
