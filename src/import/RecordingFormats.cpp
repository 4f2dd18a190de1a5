#include "import/RecordingFormats.h"

#include "import/CaimanReader.h"
#include "import/NwbReader.h"
#include "import/Suite2pReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace cellsonify {

namespace {

bool endsWithAnyCase(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

}  // namespace

const std::vector<RecordingFormat>& recordingFormats() {
    static const std::vector<RecordingFormat> formats{
        {"Data File", "Data Files (*.txt)|*txt", {}, false, nullptr},
        {"suite2p Plane Folder", "suite2p Plane Folder (any .npy in it)|*.npy", {".npy"}, true,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importSuite2p(path, options, progress);
         }},
        {"NWB File", "NWB File (*.nwb)|*.nwb", {".nwb"}, false,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importNwb(path, options, progress);
         }},
        {"CaImAn Result", "CaImAn Result (*.hdf5, *.h5)|*.hdf5 *.h5", {".hdf5", ".h5"}, false,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importCaiman(path, options, progress);
         }},
    };
    return formats;
}

const RecordingFormat* importFormatOf(const std::string& path) {
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(path, ec);
    const std::string ext = lowerExtension(path);
    for (const RecordingFormat& f : recordingFormats()) {
        if (!f.read) continue;
        if (folder ? f.readsFolders : std::find(f.extensions.begin(), f.extensions.end(), ext) != f.extensions.end())
            return &f;
    }
    return nullptr;
}

std::string recordingDialogFilter() {
    std::string filter;
    for (const RecordingFormat& f : recordingFormats()) {
        if (!filter.empty()) filter += '|';
        filter += f.dialogFilter;
    }
    // Any name opens from the command line, so the dialog offers every file too.
    return filter + "|All files (*)|*";
}

bool takesDroppedName(std::string_view name) {
    if (name.size() >= 3 && name.substr(name.size() - 3) == "txt") return true;
    for (const RecordingFormat& f : recordingFormats())
        for (std::string_view ext : f.extensions)
            if (endsWithAnyCase(name, ext)) return true;
    return false;
}

}  // namespace cellsonify
