#pragma once

#include "app/FileChooser.h"

#include <functional>
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

    // Where the chooser starts until a file is chosen (a folder kept from an
    // earlier run), and the type it starts at; neither is a file name that
    // Cancel would open.
    void startAt(const std::string& folder, const std::string& fileType);
    const std::string& fileType() const { return chooser_.fileType(); }
    // Told after each choice (not after Cancel), e.g. to keep it for the next run.
    std::function<void()> chosen;

private:
    FileChooser& chooser_;
    std::string fileName_;
    std::string startFolder_;
};

}  // namespace cellsonify
