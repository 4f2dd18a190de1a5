#pragma once

#include "import/Importer.h"
#include "import/RecordingFile.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace cellsonify::cli {

// How a command asks an importer to read a recording, and whether the user
// said anything about it.
struct ImportChoice {
    ImportOptions options;
    bool given = false;  // one of the options below was on the command line
    // Side files of the experiment (--events, --behavior), for any recording.
    std::vector<std::string> events;
    std::vector<std::string> behaviour;
};

// Adds --threshold K, --trace NAME, --frames FIRST:LAST, --events FILE and
// --behavior FILE (both repeatable) to `command`,
// stored in `choice` (which must outlive parsing). --frames takes 1-based,
// inclusive whole numbers with FIRST <= LAST; anything else is refused.
void addImportOptions(CLI::App& command, ImportChoice& choice);

// Opens `path` for a command (openRecording), with a progress line on `err`
// while a long import runs and `errIsTerminal`. Refuses (std::invalid_argument)
// import options given for a data file, which has no traces to read them on.
// The side files are added to the model's context; their notes and warnings
// go to `err` as the import's do.
OpenedRecording openForCommand(const std::string& path, const ImportChoice& choice, std::ostream& err,
                               bool errIsTerminal);

}  // namespace cellsonify::cli
