#pragma once

#include "import/Importer.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace cellsonify {

// Asks how to import a pipeline's result: the threshold K (in SD), the trace
// to read (empty: the reader's default) and the source frames to keep (both
// ends, else all), as the command line's --threshold, --trace and --frames do.
// Shown as a file opens, it also offers not to ask again.
class ImportOptionsDialog : public QDialog {
public:
    ImportOptionsDialog(const ImportOptions& start, QWidget* parent = nullptr);
    // Asks before `name` opens: its title names it and an "Ask each time"
    // box (ticked) is offered.
    ImportOptionsDialog(const ImportOptions& start, const QString& name, QWidget* parent = nullptr);
    ImportOptions options() const;
    // Whether to ask again next time a file opens (true when not offered).
    bool askAgain() const;

private:
    QDoubleSpinBox* threshold_;
    QLineEdit* trace_;
    QSpinBox* first_;
    QSpinBox* last_;
    QCheckBox* askAgain_ = nullptr;
};

}  // namespace cellsonify
