#include "app/SaveFileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace cellsonify {

std::optional<std::string> QtSaveFileChooser::chooseSaveFile(const std::string& title, const std::string& filter,
                                                             const std::string& startPath) {
    QString selectedFilter;
    QString chosen = QFileDialog::getSaveFileName(parent_, QString::fromStdString(title),
                                                  QString::fromStdString(startPath),
                                                  QString::fromStdString(filter), &selectedFilter);
    if (chosen.isEmpty()) return std::nullopt;
    // "Name (*.ext)": the dialog does not add the extension on every platform.
    const QRegularExpressionMatch ext = QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(selectedFilter);
    if (QFileInfo(chosen).suffix().isEmpty() && ext.hasMatch()) chosen += ext.captured(1);
    return chosen.toStdString();
}

}  // namespace cellsonify
