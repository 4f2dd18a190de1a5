#include "import/RecordingFile.h"

#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"

namespace cellsonify {

bool opensAsImport(const std::string& path) { return recordingFormatOf(path).read != nullptr; }

OpenedRecording openRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    if (!opensAsImport(path)) return {LoadDataFile(path), captionFor(path), std::nullopt};
    ImportResult imported = importRecording(path, options, progress);
    return {std::move(imported.model), std::move(imported.caption), std::move(imported.source)};
}

}  // namespace cellsonify
