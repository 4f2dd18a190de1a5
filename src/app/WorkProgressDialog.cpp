#include "app/WorkProgressDialog.h"

#include <QProgressDialog>

namespace cellsonify {

QProgressDialog* openWorkProgressDialog(QWidget& parent, const QString& objectName, const char* title,
                                        const std::string& label) {
    auto* dialog = new QProgressDialog(QString::fromStdString(label), QStringLiteral("Cancel"), 0,
                                       kWorkProgressSteps, &parent);
    dialog->setObjectName(objectName);
    dialog->setWindowTitle(QString::fromLatin1(title));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setValue(0);
    return dialog;
}

}  // namespace cellsonify
