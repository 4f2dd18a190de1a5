#include "app/FileChooser.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>

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

namespace {

// The extension ("wav") of a "Name (*.ext)" filter, or empty.
QString filterExtension(const QString& filter) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)\\)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

void keepTypeAndExtensionInStep(QFileDialog& dialog) {
    // The dialog's own name box (a widget dialog; a native one keeps its own
    // rules), so a typed extension picks its type. The other way, a chosen
    // type renames the extension, the dialog already does.
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) return;
    QObject::connect(name, &QLineEdit::textEdited, &dialog, [&dialog](const QString& text) {
        const QString typed = QFileInfo(text).suffix();
        if (typed.isEmpty() || typed.compare(filterExtension(dialog.selectedNameFilter()), Qt::CaseInsensitive) == 0)
            return;
        for (const QString& filter : dialog.nameFilters()) {
            if (filterExtension(filter).compare(typed, Qt::CaseInsensitive) != 0) continue;
            // Choosing the type renames the extension to the filter's; keep what was typed.
            auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            const int cursor = edit->cursorPosition();
            dialog.selectNameFilter(filter);
            edit->setText(text);
            edit->setCursorPosition(cursor);
            return;
        }
    });
}

void selectTypeOf(QFileDialog& dialog, const QString& path, const QString& preferred) {
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty()) return;
    auto ofExtension = [&](const QString& filter) {
        return filterExtension(filter).compare(extension, Qt::CaseInsensitive) == 0;
    };
    const QStringList filters = dialog.nameFilters();
    if (filters.contains(preferred) && ofExtension(preferred)) {
        dialog.selectNameFilter(preferred);
        return;
    }
    for (const QString& filter : filters)
        if (ofExtension(filter)) {
            dialog.selectNameFilter(filter);
            return;
        }
}

QString withTypeExtension(const QString& chosen, const QString& filter) {
    // A name typed without an extension gets the type's; one with an
    // extension already agrees with the type (kept in step while typing).
    const QString extension = filterExtension(filter);
    if (QFileInfo(chosen).suffix().isEmpty() && !extension.isEmpty()) return chosen + '.' + extension;
    return chosen;
}

std::optional<std::string> QtFileChooser::chooseSaveFile(const std::string& title, const std::string& filter,
                                                             const std::string& startPath) {
    QFileDialog dialog(parent_, QString::fromStdString(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);  // the type follows the typed name in this one
    dialog.setNameFilter(QString::fromStdString(filter));
    const QString start = QString::fromStdString(startPath);
    if (!start.isEmpty()) {
        dialog.setDirectory(QFileInfo(start).absolutePath());
        selectTypeOf(dialog, start, QString::fromStdString(saveType_));
        dialog.selectFile(QFileInfo(start).fileName());
    }
    keepTypeAndExtensionInStep(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().front();
    if (chosen.isEmpty()) return std::nullopt;
    saveType_ = dialog.selectedNameFilter().toStdString();
    return withTypeExtension(chosen, dialog.selectedNameFilter()).toStdString();
}

}  // namespace cellsonify
