#include "app/FileChooser.h"

#include <QFileDialog>

namespace cellsonify {

std::optional<std::string> QtFileChooser::chooseFile(const std::string& title, const std::string& filter,
                                                     const std::string& startPath) {
    QFileDialog dialog(parent_, QString::fromStdString(title), QString::fromStdString(startPath));
    configureOpenDialog(dialog, filter);
    if (!fileType_.empty()) selectOpenType(dialog, fileType_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    fileType_ = typeLabel(dialog.selectedNameFilter()).toStdString();
    const QString chosen = dialog.selectedFiles().front();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

void configureOpenDialog(QFileDialog& dialog, const std::string& filter) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(QString::fromStdString(filter));
    // A folder type (a suite2p plane or run folder) chooses the folder itself.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        dialog.setFileMode(chosen.contains(QStringLiteral("Folder")) ? QFileDialog::Directory : QFileDialog::ExistingFile);
    });
}

QString typeLabel(const QString& nameFilter) {
    const qsizetype open = nameFilter.lastIndexOf(QStringLiteral(" ("));
    return open < 0 ? nameFilter : nameFilter.left(open);
}

void selectOpenType(QFileDialog& dialog, const std::string& label) {
    for (const QString& f : dialog.nameFilters())
        if (typeLabel(f) == QString::fromStdString(label)) {
            dialog.selectNameFilter(f);
            emit dialog.filterSelected(f);  // a folder type picks folders, as when the user chooses it
            return;
        }
}

std::string qtFileFilter(const std::string& pairs) {
    std::string out;
    std::size_t start = 0;
    while (start <= pairs.size()) {
        const std::size_t bar = pairs.find('|', start);
        const std::string label = pairs.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        std::string pattern;
        if (bar != std::string::npos) {
            const std::size_t next = pairs.find('|', bar + 1);
            pattern = pairs.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
            start = next == std::string::npos ? pairs.size() + 1 : next + 1;
        } else {
            start = pairs.size() + 1;
        }
        if (!out.empty()) out += ";;";
        out += pattern.empty() ? label : label + " (" + pattern + ")";
    }
    return out;
}

}  // namespace cellsonify
