#pragma once

#include "app/FileChooser.h"

#include <string>

namespace cellsonify {

// The "Load Data File" dialog: always titled "Select a File", showing data
// files first, then the recordings an importer reads (a suite2p folder is
// chosen by any .npy file in it), then all files (any name opens as a data file
// or, by its extension, as an import), and remembering its file name between uses.
class DataFileDialog {
public:
    static constexpr const char* kTitle = "Select a File";

    explicit DataFileDialog(FileChooser& chooser) : chooser_(chooser) {}
    // Shows the chooser, starting at the remembered name, and returns the
    // dialog's file name afterwards: the new choice, or on Cancel the name it
    // already had ("" before any choice).
    std::string ask();
    // The remembered file name.
    const std::string& fileName() const { return fileName_; }

private:
    FileChooser& chooser_;
    std::string fileName_;
};

}  // namespace cellsonify
