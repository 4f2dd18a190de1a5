#include "import/Importer.h"

#include "import/CaimanReader.h"
#include "import/ImportError.h"
#include "import/NwbReader.h"
#include "import/PathCheck.h"
#include "import/Suite2pReader.h"
#include "model/DataFileLoader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace cellsonify {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

}  // namespace

bool isImportablePath(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    const std::string ext = lowerExtension(path);
    return ext == ".npy" || ext == ".nwb" || ext == ".hdf5" || ext == ".h5";
}

ImportResult importRecording(const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
    const std::string ext = lowerExtension(path);
    const PathStatus status = pathStatus(path);
    if (status.kind == PathKind::Directory || ext == ".npy") return importSuite2p(path, options, progress);
    if (status.kind != PathKind::Regular) throw ImportError(baseName(path), status.reason);
    if (ext == ".nwb") return importNwb(path, options, progress);
    if (ext == ".hdf5" || ext == ".h5") return importCaiman(path, options, progress);
    throw ImportError(baseName(path), "is neither a suite2p folder, an NWB file (.nwb) nor a CaImAn result (.hdf5, .h5)");
}

}  // namespace cellsonify
