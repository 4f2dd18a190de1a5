#include "app/DataFileDialog.h"

namespace cellsonify {

std::string DataFileDialog::ask() {
    if (auto chosen = chooser_.chooseFile(kTitle, qtFileFilter(kFilter), fileName_)) fileName_ = *chosen;
    return fileName_;
}

}  // namespace cellsonify
