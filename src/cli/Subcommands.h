#pragma once

#include <iosfwd>

namespace CLI {
class App;
}

namespace cellsonify::cli {

// Where a subcommand writes and the exit code it leaves (0 done, 1 failed).
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // whether a progress bar may be drawn on err
    int exitCode = 0;
};

// Each adds one subcommand, with its options and --help, to `app`; parsing
// a command line that names it runs it with `context`, which must outlive
// parsing. Failures are told on context.err as "error: <message>".
// A new subcommand is one more such function, listed in CommandLine.cpp.

// inspect FILE [import options]: the loaded model as JSON, with where an import came from.
void addInspectCommand(CLI::App& app, CommandContext& context);
// generate OUT [--cells N] [--frames N] [--activity P] [--seed S]: a synthetic recording.
void addGenerateCommand(CLI::App& app, CommandContext& context);
// ports: the external MIDI output ports.
void addPortsCommand(CLI::App& app, CommandContext& context);
// render FILE -o OUT [...]: one pass of playback as MIDI, WAV, MP4 or PNG (RenderCommand.h);
// render FILE... -o DIR/ --format F [--jobs N]: each input into DIR (BatchRender.h).
void addRenderCommand(CLI::App& app, CommandContext& context);
// convert FILE -o OUT [import options]: an imported recording written as a data file.
void addConvertCommand(CLI::App& app, CommandContext& context);

}  // namespace cellsonify::cli
