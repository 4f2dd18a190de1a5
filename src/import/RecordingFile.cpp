#include "import/RecordingFile.h"

#include "import/RecordingFormats.h"

namespace cellsonify {

OpenedRecording openRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    return recordingFormatOf(path).read(path, options, progress);
}

}  // namespace cellsonify
