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

std::string recordingName(const std::string& path) {
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    return baseName(name);
}

}  // namespace

OpenedRecording importWith(ImportReader read, bool readsFolders, const std::string& path, const ImportOptions& options,
                           const ImportProgress& progress) {
    try {
        if (options.plane >= 0 && !readsFolders)
            throw ImportError(baseName(path), "--plane applies to a folder of suite2p planes");
        // A suite2p folder (or a .npy in one) names its own missing files.
        if (!readsFolders) {
            const PathStatus status = pathStatus(path);
            if (status.kind != PathKind::Regular) throw ImportError(baseName(path), status.reason);
        }
        ImportResult result = timed(read(path, options, progress));
        return {std::move(result.model), std::move(result.caption), std::move(result.source)};
    } catch (const std::bad_alloc&) {
        // Whatever ran out of memory, the user learns which recording it was.
        throw ImportError(recordingName(path), "there is not enough memory to import it");
    }
}

ImportResult importRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const RecordingFormat& format = recordingFormatOf(path);
    if (!format.readsTraces) {
        if (options.plane >= 0) throw ImportError(baseName(path), "--plane applies to a folder of suite2p planes");
        const PathStatus status = pathStatus(path);
        if (status.kind != PathKind::Regular) throw ImportError(baseName(path), status.reason);
        throw ImportError(baseName(path), "is neither " + listRecordingFormats(true, "nor"));
    }
    OpenedRecording opened = format.read(path, options, progress);
    return {std::move(opened.model), std::move(*opened.source), std::move(opened.caption)};
}

}  // namespace cellsonify
