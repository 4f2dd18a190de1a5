#include "import/Importer.h"

#include "import/CaimanReader.h"
#include "import/ImportError.h"
#include "import/NwbReader.h"
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
    std::error_code ec;
    const std::string ext = lowerExtension(path);
    if (std::filesystem::is_directory(path, ec) || ext == ".npy") return importSuite2p(path, options, progress);
    if (!std::filesystem::exists(path, ec)) throw ImportError(baseName(path), "does not exist");
    if (ext == ".nwb") return importNwb(path, options, progress);
    if (ext == ".hdf5" || ext == ".h5") return importCaiman(path, options, progress);
    throw ImportError(baseName(path), "is neither a suite2p folder, an NWB file (.nwb) nor a CaImAn result (.hdf5, .h5)");
}

}  // namespace cellsonify
