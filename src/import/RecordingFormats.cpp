#include "import/RecordingFormats.h"

#include "files/PathNames.h"
#include "import/CaimanReader.h"
#include "import/Hdf5File.h"
#include "import/ImportError.h"
#include "import/NwbReader.h"
#include "import/PathCheck.h"
#include "model/DataFileLoader.h"
#include "import/Suite2pReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

namespace cellsonify {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

const RecordingFormat& dataFileFormat() { return recordingFormats().front(); }

// The file opened as HDF5 to look at its root, or nothing when the library
// refuses it (a damaged file then reads as what its name says: a data file).
std::optional<Hdf5File> openHdf5(const std::string& path) {
    try {
        return std::optional<Hdf5File>(std::in_place, path, path);
    } catch (const ImportError&) {
        return std::nullopt;
    }
}

bool marks(const RecordingFormat& format, const Hdf5File& file) {
    try {
        return format.rootMarks(file);
    } catch (const ImportError&) {
        return false;  // a root link out of the file: not read, so not recognised
    }
}

}  // namespace

const std::vector<RecordingFormat>& recordingFormats() {
    static const std::vector<RecordingFormat> formats{
        {"Data File", "a data file", "Data Files (*.txt)|*txt", {".txt"}, false, FileSignature::None, nullptr, false,
         [](const std::string& path, const ImportOptions&, const ImportProgress&) {
             return OpenedRecording{LoadDataFile(path), captionFor(path), std::nullopt};
         }},
        {"suite2p Plane Folder", "a suite2p folder", "suite2p Plane Folder (any .npy in it)|*.npy", {".npy"}, true,
         FileSignature::NumPy, nullptr, true,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importWith(&importSuite2p, true, path, options, progress);
         }},
        {"NWB File", "an NWB file (.nwb)", "NWB File (*.nwb)|*.nwb", {".nwb"}, false, FileSignature::Hdf5,
         // NWB 2 keeps its version as a root attribute, NWB 1 as a root
         // dataset; the reader tells the second apart and refuses it.
         [](const Hdf5File& file) { return file.hasAttribute("/", "nwb_version") || file.isDataset("/nwb_version"); },
         true,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importWith(&importNwb, false, path, options, progress);
         }},
        {"CaImAn Result", "a CaImAn result (.hdf5, .h5)", "CaImAn Result (*.hdf5, *.h5)|*.hdf5 *.h5", {".hdf5", ".h5"},
         false, FileSignature::Hdf5, [](const Hdf5File& file) { return file.isGroup("/estimates"); }, true,
         [](const std::string& path, const ImportOptions& options, const ImportProgress& progress) {
             return importWith(&importCaiman, false, path, options, progress);
         }},
    };
    return formats;
}

const RecordingFormat& recordingFormatOf(const std::string& path) {
    const PathKind kind = pathStatus(path).kind;
    const std::string ext = lowerExtension(path);
    for (const RecordingFormat& f : recordingFormats()) {
        const bool named = std::find(f.extensions.begin(), f.extensions.end(), ext) != f.extensions.end();
        if (kind == PathKind::Directory ? f.readsFolders : named) return f;
    }
    if (kind != PathKind::Regular) return dataFileFormat();
    return recognisedByFirstBytes(path);
}

const RecordingFormat& recognisedByFirstBytes(const std::string& path) {
    const FileSignature signature = fileSignatureOf(path);
    if (signature == FileSignature::None) return dataFileFormat();
    const std::optional<Hdf5File> hdf5 = signature == FileSignature::Hdf5 ? openHdf5(path) : std::nullopt;
    if (signature == FileSignature::Hdf5 && !hdf5) return dataFileFormat();
    for (const RecordingFormat& f : recordingFormats()) {
        if (f.signature != signature) continue;
        if (!hdf5 || marks(f, *hdf5)) return f;
    }
    return dataFileFormat();
}

std::string recordingDialogFilter() {
    // First, and so the default, every kind at once: a plane folder's .npy
    // files and a pipeline's files are not hidden behind a data-file filter.
    std::string all, filter;
    for (const RecordingFormat& f : recordingFormats()) {
        const std::string_view patterns = f.dialogFilter.substr(f.dialogFilter.find('|') + 1);
        all += (all.empty() ? "" : " ") + std::string(patterns);
        filter += '|' + std::string(f.dialogFilter);
    }
    filter = std::string(kAllRecordings) + '|' + all + filter;
    // Any name opens from the command line, so the dialog offers every file too.
    return filter + "|All files (*)|*";
}

std::string listRecordingFormats(bool tracesOnly, std::string_view conjunction) {
    std::vector<std::string_view> listed;
    for (const RecordingFormat& f : recordingFormats())
        if (f.readsTraces || !tracesOnly) listed.push_back(f.listedAs);
    std::string text;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (i > 0) text += i + 1 == listed.size() ? " " + std::string(conjunction) + " " : ", ";
        text += listed[i];
    }
    return text;
}

bool takesDroppedName(std::string_view name) {
    if (name.size() >= 3 && name.substr(name.size() - 3) == "txt") return true;
    for (const RecordingFormat& f : recordingFormats())
        if (f.readsTraces)
            for (std::string_view ext : f.extensions)
                if (endsWithIgnoringCase(name, ext)) return true;
    return false;
}

}  // namespace cellsonify
