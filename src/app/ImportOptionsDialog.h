#pragma once

#include "import/Importer.h"

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace cellsonify {

// Asks how to import a pipeline's result: the threshold K (in SD), the trace
// to read (empty: the reader's default) and the source frames to keep (both
// ends, else all), as the command line's --threshold, --trace and --frames do.
class ImportOptionsDialog : public QDialog {
public:
    ImportOptionsDialog(const ImportOptions& start, QWidget* parent = nullptr);
    ImportOptions options() const;

private:
    QDoubleSpinBox* threshold_;
    QLineEdit* trace_;
    QSpinBox* first_;
    QSpinBox* last_;
};

}  // namespace cellsonify
