#include "import/Importer.h"

#include "import/ImportError.h"
#include "import/PathCheck.h"
#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"

#include <new>

namespace cellsonify {

namespace {

// Readers that know no better time the frames from the first kept one at the
// rate the source states (none: not known).
ImportResult timed(ImportResult result) {
    CellModel& model = result.model;
    if (!model.Context.clock.known())
        model.Context.clock = FrameClock::fromRate(static_cast<double>(result.source.firstFrame - 1) / model.FrameRate,
                                                   model.FrameRate, model.FrameCount);
    return result;
}

ImportResult importAsFormat(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const RecordingFormat& format = recordingFormatOf(path);
    if (options.plane >= 0 && !format.readsFolders)
        throw ImportError(baseName(path), "--plane applies to a folder of suite2p planes");
    // A suite2p folder (or a .npy in one) names its own missing files.
    if (format.readsFolders) return timed(format.read(path, options, progress));
    const PathStatus status = pathStatus(path);
    if (status.kind != PathKind::Regular) throw ImportError(baseName(path), status.reason);
    if (format.read) return timed(format.read(path, options, progress));
    throw ImportError(baseName(path), "is neither a suite2p folder, an NWB file (.nwb) nor a CaImAn result (.hdf5, .h5)");
}

}  // namespace

ImportResult importRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    try {
        return importAsFormat(path, options, progress);
    } catch (const std::bad_alloc&) {
        // Whatever ran out of memory, the user learns which recording it was.
        std::string name = path;
        while (name.size() > 1 && name.back() == '/') name.pop_back();
        throw ImportError(baseName(name), "there is not enough memory to import it");
    }
}

}  // namespace cellsonify
