#pragma once

#include <string>

class QProgressDialog;
class QString;
class QWidget;

namespace cellsonify {

// Steps of a work progress dialog: a job's share done (0..1) times this.
inline constexpr int kWorkProgressSteps = 1000;

// The window-modal dialog long work (an export, an import) shows while it
// runs: `label`, a bar of kWorkProgressSteps at 0 and Cancel, shown at once
// and left open at the end, for its owner to close. Owned by `parent`.
QProgressDialog* openWorkProgressDialog(QWidget& parent, const QString& objectName, const char* title,
                                        const std::string& label);

}  // namespace cellsonify
