#include "cli/CommandLine.h"

#include "app/RunWindow.h"
#include "cli/Commands.h"
#include "export/RenderCommand.h"
#include "sound/SoundFactory.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>
#include <string>
#include <vector>

namespace cellsonify {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  cellsonify [--midi-port NAME] [FILE]   open the window (with FILE loaded)\n"
    "  cellsonify inspect FILE                print the loaded model as JSON\n"
    "  cellsonify generate OUT [--cells N] [--frames N] [--activity P] [--seed S]\n"
    "  cellsonify ports                       list the external MIDI output ports\n"
    "  cellsonify render FILE -o OUT [--speed TEXT] [--instrument NAME] [--tail SECONDS]\n"
    "                                         one pass of playback as a MIDI file (.mid) or audio (.wav)\n";

}  // namespace

int runCommandLine(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string command = args.empty() ? "" : args[0];
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (command == "inspect") return cli::inspectCommand(rest, std::cout, std::cerr);
    if (command == "generate") return cli::generateCommand(rest, std::cout, std::cerr);
    if (command == "ports") return writeMidiPortList(std::cout);
    if (command == "render") return renderCommand(rest, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }

    SoundOptions sound = SoundOptions::fromEnvironment();
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--midi-port") {
            if (i + 1 >= args.size()) {
                std::cerr << "error: --midi-port needs a port name (see \"cellsonify ports\")\n";
                return 1;
            }
            sound.midiPort = args[++i];
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            std::cerr << "error: unknown argument \"" << args[i] << "\"\n" << kUsage;
            return 1;
        }
    }
    // Without any display the window library would abort with a core dump; say
    // what is missing instead.
    const auto unset = [](const char* name) { const char* v = std::getenv(name); return !v || !*v; };
    if (unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY")) {
        std::cerr << "error: no display to open the window on (DISPLAY is not set); "
                     "inspect, generate, render and ports work without one\n";
        return 1;
    }
    auto midi = makeDefaultOutput(sound);
    return runWindow(argc, argv, midi.get(), file);
}

}  // namespace cellsonify
