#include "app/DataFileDialog.h"

#include "import/RecordingFormats.h"

namespace cellsonify {

std::string DataFileDialog::ask() {
    if (auto chosen = chooser_.chooseFile(kTitle, qtFileFilter(recordingDialogFilter()), fileName_)) fileName_ = *chosen;
    return fileName_;
}

}  // namespace cellsonify
