#pragma once

#include "import/Importer.h"
#include "model/CellModel.h"

#include <optional>
#include <string>

namespace cellsonify {

// A recording as the window and the command line open it: the model, plus
// where it came from when an importer read it (nullopt for a data file).
struct OpenedRecording {
    CellModel model;
    std::optional<ImportSource> source;
};

// True when `path` is read by an importer (isImportablePath: a folder, or a
// name ending in .npy, .nwb, .hdf5 or .h5); anything else is a data file.
bool opensAsImport(const std::string& path);

// Opens `path`: a data file through LoadDataFile exactly as ever (the options
// and progress play no part), anything importable through importRecording.
// Throws DataFileError, ImportError or ImportCancelled as those do.
OpenedRecording openRecording(const std::string& path, const ImportOptions& options = {},
                              const ImportProgress& progress = {});

}  // namespace cellsonify
