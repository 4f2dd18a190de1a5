#include "import/Importer.h"

#include "import/ImportError.h"
#include "import/PathCheck.h"
#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"

namespace cellsonify {

ImportResult importRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const RecordingFormat& format = recordingFormatOf(path);
    if (options.plane >= 0 && !format.readsFolders)
        throw ImportError(baseName(path), "--plane applies to a folder of suite2p planes");
    // A suite2p folder (or a .npy in one) names its own missing files.
    if (format.readsFolders) return format.read(path, options, progress);
    const PathStatus status = pathStatus(path);
    if (status.kind != PathKind::Regular) throw ImportError(baseName(path), status.reason);
    if (format.read) return format.read(path, options, progress);
    throw ImportError(baseName(path), "is neither a suite2p folder, an NWB file (.nwb) nor a CaImAn result (.hdf5, .h5)");
}

}  // namespace cellsonify
