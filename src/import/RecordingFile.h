#pragma once

#include "import/Importer.h"

#include <string>

namespace cellsonify {

// Opens `path` with the reader of the format recordingFormatOf names: a data
// file through LoadDataFile exactly as ever (the options and progress play no
// part), anything else through its importer. The one way the window (dialog,
// drops, recent files, the command line's file) and the commands open a recording.
// Throws DataFileError, ImportError or ImportCancelled as those do.
OpenedRecording openRecording(const std::string& path, const ImportOptions& options = {},
                              const ImportProgress& progress = {});

}  // namespace cellsonify
