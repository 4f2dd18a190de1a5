#pragma once

#include "import/Importer.h"
#include "model/CellModel.h"

#include <optional>
#include <string>

namespace cellsonify {

// A recording as the window and the command line open it: the model, its
// caption (captionFor(path) for a data file, the importer's for an import),
// and where it came from when an importer read it (nullopt for a data file).
struct OpenedRecording {
    CellModel model;
    std::string caption;
    std::optional<ImportSource> source;
};

// True when `path` is read by an importer: recordingFormatOf(path) is not the
// data file (a folder, a name ending in .npy, .nwb, .hdf5 or .h5, or a file
// of another name whose first bytes are NumPy's or an NWB or CaImAn HDF5 file's).
bool opensAsImport(const std::string& path);

// Opens `path` as recordingFormatOf says: a data file through LoadDataFile
// exactly as ever (the options and progress play no part), anything else
// through importRecording.
// Throws DataFileError, ImportError or ImportCancelled as those do.
OpenedRecording openRecording(const std::string& path, const ImportOptions& options = {},
                              const ImportProgress& progress = {});

}  // namespace cellsonify
