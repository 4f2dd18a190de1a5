#pragma once

#include "import/FileSignature.h"
#include "import/Importer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

class Hdf5File;

// One kind of recording the program opens, known in one place: the window's
// dialog, drops and recent files, `cellsonify PATH`, inspect, render and
// convert all ask this table what a path is and how to read it.
struct RecordingFormat {
    std::string_view name;                     // what the dialog calls it
    std::string_view listedAs;                 // how messages list it: "an NWB file (.nwb)"
    std::string_view dialogFilter;             // "Caption|patterns", as DataFileDialog lists it
    std::vector<std::string_view> extensions;  // lower case, dot included, matched in any case
    bool readsFolders = false;                 // a folder is read as this format
    // How a file of this format starts, for names whose extension says nothing.
    FileSignature signature = FileSignature::None;
    // HDF5 formats only: whether the file's root marks it as this format.
    std::function<bool(const Hdf5File&)> rootMarks;
    // Whether it holds traces, so the import options (threshold, trace,
    // frames, plane) apply to it; the data file holds events already.
    bool readsTraces = false;
    // Reads the recording at a path (openRecording's one way in). Throws what
    // its reader throws: DataFileError, ImportError or ImportCancelled.
    std::function<OpenedRecording(const std::string&, const ImportOptions&, const ImportProgress&)> read;
};

// Every format: the data file first, then suite2p, NWB and CaImAn, in the
// order the dialog offers them.
const std::vector<RecordingFormat>& recordingFormats();

// The format `path` is read as: a folder is a suite2p plane folder; a known
// extension (any case) names its format; any other name is told by the file's
// first bytes (recognisedByFirstBytes). The data file when nothing else fits,
// including paths that are missing, FIFOs or devices, which are never opened
// here: their reader refuses them with its own words.
const RecordingFormat& recordingFormatOf(const std::string& path);

// The format a regular file's first bytes say it is: HDF5 holding an
// nwb_version is NWB, HDF5 holding /estimates is CaImAn, a NumPy array is a
// suite2p plane file (read with its folder); anything else is the data file.
const RecordingFormat& recognisedByFirstBytes(const std::string& path);

// The dialog's filter: "All recordings" (every format's patterns), each
// format's entry, then "All files (*)", joined with '|'.
std::string recordingDialogFilter();
inline constexpr std::string_view kAllRecordings = "All recordings";

// The formats as messages list them, "a, b or c" (`conjunction` "nor": "a, b
// nor c"): every format, or only those that hold traces.
std::string listRecordingFormats(bool tracesOnly, std::string_view conjunction = "or");

// Whether a name dropped on the window is taken: a data file's name ends in
// "txt" exactly (lower case, dot or not); an import's in its extension.
bool takesDroppedName(std::string_view name);

}  // namespace cellsonify
