#include "cli/OutputChecks.h"

#include "files/FileIdentity.h"
#include "import/PathCheck.h"
#include "import/RecordingFormats.h"

#include <filesystem>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

// A file read as a suite2p plane file (a .npy, or NumPy's bytes under
// another name) stands for its folder.
bool namesPlaneFile(const std::string& path) {
    return recordingFormatOf(path).readsFolders && pathStatus(path).kind != PathKind::Directory;
}

}  // namespace

void refuseOutputOntoInput(const std::string& output, const std::string& input) {
    const std::string help = "; choose an output elsewhere";
    switch (overlapOf(output, input)) {
    case OutputOverlap::SameFile:
        throw std::invalid_argument(output + " is the input " + input +
                                    " itself: writing it would destroy the recording being read" + help);
    case OutputOverlap::InsideFolder:
        throw std::invalid_argument(output + " lies inside the input folder " + input +
                                    ", which is being read" + help);
    case OutputOverlap::None:
        break;
    }
    // A plane file stands for its whole folder, every file of which is read.
    if (namesPlaneFile(input)) {
        const std::filesystem::path folder = std::filesystem::path(input).parent_path();
        const std::string plane = folder.empty() ? "." : folder.string();
        if (overlapOf(output, plane) == OutputOverlap::InsideFolder)
            throw std::invalid_argument(output + " lies inside the plane folder " + plane + " that " + input +
                                        " stands for, which is being read" + help);
    }
}

}  // namespace cellsonify::cli
