#pragma once

#include "import/Importer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cellsonify {

// One kind of recording the program opens, known in one place: the window's
// dialog and drops, `cellsonify PATH`, inspect, render and convert all ask
// this table what a path is and how to read it.
struct RecordingFormat {
    std::string_view name;                     // what the dialog calls it
    std::string_view dialogFilter;             // "Caption|patterns", as DataFileDialog lists it
    std::vector<std::string_view> extensions;  // imports: lower case, dot included, matched in any case
    bool readsFolders = false;                 // a folder is read as this format
    // Imports only: reads the recording at a path (null for the data file,
    // which LoadDataFile reads under any name).
    std::function<ImportResult(const std::string&, const ImportOptions&, const ImportProgress&)> read;
};

// Every format: the data file first, then suite2p, NWB and CaImAn, in the
// order the dialog offers them.
const std::vector<RecordingFormat>& recordingFormats();

// The import format `path` is recognised as, by name alone: a folder, then
// its extension in any case. Null: a data file, whatever its name.
const RecordingFormat* importFormatOf(const std::string& path);

// The dialog's filter: every format's entry, then "All files (*)", joined with '|'.
std::string recordingDialogFilter();

// Whether a name dropped on the window is taken: a data file's name ends in
// "txt" exactly (lower case, dot or not); an import's in its extension.
bool takesDroppedName(std::string_view name);

}  // namespace cellsonify
