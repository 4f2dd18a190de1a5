#include "app/DataFileDialog.h"

#include "import/RecordingFormats.h"

namespace cellsonify {

std::string DataFileDialog::ask() {
    const std::string& start = fileName_.empty() ? startFolder_ : fileName_;
    if (auto answer = chooser_.chooseFile(kTitle, qtFileFilter(recordingDialogFilter()), start)) {
        fileName_ = *answer;
        if (chosen) chosen();
    }
    return fileName_;
}

void DataFileDialog::startAt(const std::string& folder, const std::string& fileType) {
    startFolder_ = folder;
    chooser_.setFileType(fileType);
}

}  // namespace cellsonify
