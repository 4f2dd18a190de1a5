#pragma once

#include "cli/RenderCommand.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cellsonify {

// What `render A B C ... -o DIR/ --format F [--jobs N]` adds to a render:
// several inputs, each written into one folder under its own name.
struct BatchRequest {
    std::vector<std::string> inputs;  // as given, in order
    std::string folder;               // the existing folder written into
    std::string format;               // the outputs' extension: one of outputFormats()
    int jobs = 1;                     // renders running at once
};

// The largest --jobs taken.
inline constexpr int kMostBatchJobs = 64;

// Whether `-o` names a folder to write a batch into rather than one file: it
// ends with a slash, or is an existing folder without an output's extension.
bool namesOutputFolder(const std::string& out);

// The file name each input is written under, in input order: its base name (a
// folder's own name; a .npy's plane folder's name) with `extension`. When
// names clash, every input, of whatever kind, gets the same number of its
// parent folders' names prefixed ("sessA-plane0", "sessA-plane1",
// "sessB-plane0"), as few as tell them all apart; any still alike (the same input twice) get the
// lowest "-2", "-3" ... that is no other input's name, in input order. A name
// `unusable` refuses (one that is an input itself) is numbered the same way.
// Names past NAME_MAX are cut and end with a hash. No two names are equal.
std::vector<std::string> batchOutputNames(const std::vector<std::string>& inputs, const std::string& extension,
                                          const std::function<bool(const std::string&)>& unusable = {});

// Renders every input with `options` (all but its file and out) into the
// batch's folder: "[i/n] INPUT -> OUT" on `err` as each starts, the single
// render's messages and progress bar, then "W written, F failed: INPUT: reason; ...".
// Every name is planned first (batchOutputNames, never an input's own file);
// an input given again (the same file by device and inode) is rendered once,
// with a note and "(N given again, rendered once)" in the summary.
// A failed input leaves no file and the rest go on. With jobs > 1 the renders
// run in worker processes, since each needs its own window application,
// synthesizer and encoder, and no progress bar is drawn; the workers end with
// the batch (SIGTERM, SIGINT and SIGHUP are passed on, and a worker whose
// parent dies, even by SIGKILL, gets SIGTERM), removing their temporaries. Returns 0 when every
// input was written, 1 otherwise (also when the folder or format is refused,
// before anything is read).
int renderBatch(const RenderRequest& options, const BatchRequest& batch, std::ostream& out, std::ostream& err,
                bool errIsTerminal);

// What `render` runs once its options are read: the plain render of one
// input into one file (renderRecordingFile), or, given several inputs,
// --format or a folder for -o, a batch into that folder. Several inputs with
// -o naming one file, or --jobs for one file, are refused.
int renderAsAsked(RenderRequest request, BatchRequest batch, bool formatGiven, bool jobsGiven, std::ostream& out,
                  std::ostream& err, bool errIsTerminal);

}  // namespace cellsonify
