#include "cli/OutputChecks.h"

#include "files/FileIdentity.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

namespace cellsonify::cli {

namespace {

bool namesNpyFile(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".npy";
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
    // A .npy stands for its whole plane folder, every file of which is read.
    if (namesNpyFile(input)) {
        const std::filesystem::path folder = std::filesystem::path(input).parent_path();
        const std::string plane = folder.empty() ? "." : folder.string();
        if (overlapOf(output, plane) == OutputOverlap::InsideFolder)
            throw std::invalid_argument(output + " lies inside the plane folder " + plane + " that " + input +
                                        " stands for, which is being read" + help);
    }
}

}  // namespace cellsonify::cli
