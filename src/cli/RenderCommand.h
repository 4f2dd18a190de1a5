#pragma once

#include "cli/ImportFlags.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cellsonify {

// What `cellsonify render` is asked: FILE's playback written to OUT, a MIDI
// file (.mid) or audio (.wav). A new render option is a field here and one
// line in addRenderCommand (RenderCommand.cpp).
struct RenderRequest {
    std::string file;                // data file or recording to import, to play
    std::string out;                 // file to write; its extension names the format
    std::string speed = "50";        // the speed box text: milliseconds per frame
    std::string instrument = "Piano";  // caption (any case) or program number
    std::optional<double> tailSeconds;  // audio: seconds for the last notes to ring; none: until they die away
    cli::ImportChoice import;        // how an importer reads `file`
};

// Renders `request`: 0 and "wrote OUT" on `out`; 1 and "error: <message>" on
// `err`, leaving no OUT behind. A progress bar goes to `err` when
// `errIsTerminal` and the render takes more than a moment.
int renderRecordingFile(const RenderRequest& request, std::ostream& out, std::ostream& err, bool errIsTerminal);

// `render ARGS...` through the program's command line, as if typed after
// "cellsonify render": the same options, messages and exit codes.
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace cellsonify
