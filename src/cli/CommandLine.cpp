#include "cli/CommandLine.h"

#include "cli/Subcommands.h"
#include "files/DescriptorOutput.h"
#include "import/RecordingFormats.h"
#include "sound/SoundFactory.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <unistd.h>

namespace cellsonify {

namespace {

// The subcommands, in the order --help lists them.
constexpr std::array kSubcommands{cli::addInspectCommand, cli::addGenerateCommand, cli::addPortsCommand,
                                  cli::addRenderCommand, cli::addConvertCommand};

// Options QGuiApplication and QApplication read themselves.
constexpr std::array<std::string_view, 15> kQtOptionsWithValue{
    "platform", "platformpluginpath", "platformtheme", "plugin",   "qwindowgeometry",
    "geometry", "qwindowtitle",       "title",         "qwindowicon", "style",
    "stylesheet", "session",          "display",       "name",     "qmljsdebugger"};
constexpr std::array<std::string_view, 5> kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Qt takes "-name" and "--name" alike; an "=value" form it does not know.
std::string_view qtOptionName(const std::string& arg) {
    std::string_view name(arg);
    if (name.size() < 2 || name[0] != '-') return {};
    name.remove_prefix(name[1] == '-' ? 2 : 1);
    return name;
}

bool displayMissing(const WindowRequest& request) {
    const auto unset = [](const char* name) { const char* v = std::getenv(name); return !v || !*v; };
    const bool platformGiven = std::any_of(request.qtArguments.begin(), request.qtArguments.end(),
                                           [](const std::string& a) { return qtOptionName(a) == "platform"; });
    return !platformGiven && unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
}

}  // namespace

std::vector<std::string> takeQtOptions(std::vector<std::string>& args) {
    std::vector<std::string> qt, rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = qtOptionName(args[i]);
        if (listed(kQtOptionsWithValue, name) && i + 1 < args.size()) {
            qt.push_back(args[i]);
            qt.push_back(args[++i]);
        } else if (listed(kQtFlags, name)) {
            qt.push_back(args[i]);
        } else {
            rest.push_back(args[i]);
        }
    }
    args = std::move(rest);
    return qt;
}

int runCommandLine(std::vector<std::string> args, std::ostream& out, std::ostream& err, bool errIsTerminal,
                   const OpenWindow& openWindow) {
    WindowRequest window;
    window.qtArguments = takeQtOptions(args);
    // "help" and "help COMMAND" read as --help: a file named help is opened as ./help.
    if (!args.empty() && args.front() == "help" && args.size() <= 2) {
        args.erase(args.begin());
        args.push_back("--help");
    }

    CLI::App app("Hear and see a calcium-imaging recording: a raster of cells over frames, the cell map and a "
                 "keyboard, played frame by frame.\nWithout a subcommand, opens the window (with FILE loaded).",
                 "cellsonify");
    app.set_version_flag("--version", "cellsonify " CELLSONIFY_VERSION);
    app.require_subcommand(0, 1);
    app.add_option("FILE", window.file, "The recording to open in the window: " + listRecordingFormats(false) + " (a data file under any name)");
    app.add_option("--midi-port", window.midiPort,
                   "Send notes to the external MIDI port whose name contains NAME (see \"cellsonify ports\")")
        ->type_name("NAME");
    cli::CommandContext context{out, err, errIsTerminal};
    for (const auto add : kSubcommands) add(app, context);
    // Set after the subcommands, which would otherwise inherit it: only the
    // window takes Qt's options.
    app.footer("Qt's own options (-platform NAME, -style NAME, ...) are passed to the window.\n"
               "Run \"cellsonify COMMAND --help\" (or \"cellsonify help COMMAND\") for a command's options.");
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return "error: " + std::string(e.what()) + "\nRun with --help for more information.\n";
    });
    // A first word that is neither a command nor a path, followed by another
    // word that is no option, is a mistyped command ("rendr x.txt -o y.wav"),
    // not a file for the window (which takes one).
    std::string commands;
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        commands += (commands.empty() ? "" : ", ") + sub->get_name();
        known = known || (!args.empty() && args.front() == sub->get_name());
    }
    if (args.size() > 1 && !known && !args.front().empty() && args.front()[0] != '-' && !args[1].empty() &&
        args[1][0] != '-' && !std::filesystem::exists(args.front())) {
        err << "error: \"" << args.front() << "\" is not a command (nor a file to open); the commands are "
            << commands << "\nRun with --help for more information.\n";
        return 1;
    }

    // CLI11 parses the last argument first when given a vector in reverse.
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : 1;
    }
    if (app.get_subcommands().empty()) {
        if (!openWindow) {
            out << app.help();
            return 0;
        }
        return openWindow(window);
    }
    return context.exitCode;
}

int runCommandLine(int argc, char** argv, const WindowLauncher& launch) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string program = argc > 0 ? argv[0] : "cellsonify";
    // Standard output is checked to its last byte: JSON cut short by a full
    // disk must not pass for a whole answer.
    DescriptorBuffer standardOutput(STDOUT_FILENO);
    std::ostream out(&standardOutput);
    int code = runCommandLine(args, out, std::cerr, ::isatty(STDERR_FILENO) == 1,
                              [&program, &launch](const WindowRequest& request) {
                                  // Without any display the window library would abort with a
                                  // core dump; say what is missing instead.
                                  if (displayMissing(request)) {
                                      std::cerr << "error: no display to open the window on (DISPLAY is not set); "
                                                   "inspect, generate, render, convert and ports work without one\n";
                                      return 1;
                                  }
                                  SoundOptions sound = SoundOptions::fromEnvironment();
                                  if (!request.midiPort.empty()) sound.midiPort = request.midiPort;
                                  auto midi = makeDefaultOutput(sound);
                                  std::vector<std::string> qtArgs{program};
                                  qtArgs.insert(qtArgs.end(), request.qtArguments.begin(), request.qtArguments.end());
                                  return launch(qtArgs, midi.get(), sound.midiPort, request.file);
                              });
    if (const std::string reason = unwrittenReason(out, standardOutput); !reason.empty()) {
        std::cerr << "error: cannot write the output: " << reason << '\n';
        code = 1;
    }
    return code;
}

}  // namespace cellsonify
