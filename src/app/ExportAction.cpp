#include "app/ExportAction.h"

#include "app/MainWindow.h"
#include "app/MessageSink.h"
#include "app/SaveFileChooser.h"
#include "export/RecordingExport.h"
#include "sound/Instruments.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>

#include <filesystem>

namespace cellsonify {

namespace {
constexpr int kProgressSteps = 1000;
}  // namespace

ExportAction::ExportAction(MainWindow& form, SaveFileChooser& chooser, MessageSink& messages)
    : QObject(&form), form_(form), chooser_(chooser), messages_(messages) {
    action_ = new QAction(QStringLiteral("Export..."), &form);
    action_->setObjectName(QStringLiteral("exportAction"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    action_->setShortcutContext(Qt::WindowShortcut);
    form.addAction(action_);
    connect(action_, &QAction::triggered, this, [this] { run(); });

    menu_ = new QMenu(&form);
    menu_->setObjectName(QStringLiteral("exportMenu"));
    menu_->addAction(action_);
    form.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&form, &QWidget::customContextMenuRequested, this, &ExportAction::showMenu);
}

void ExportAction::showMenu(const QPoint& at) { menu_->popup(form_.mapToGlobal(at)); }

int ExportAction::selectedInstrument() const {
    for (int i = 1; i <= static_cast<int>(kInstruments.size()); ++i)
        if (form_.instrumentOption(i).isChecked()) return i;
    return 1;
}

void ExportAction::tell(const std::string& text) { messages_.show(form_.windowTitle().toStdString(), text); }

void ExportAction::run() {
    if (form_.model().DataFile.empty()) {
        tell("There is no recording to export: load a data file first.");
        return;
    }
    try {
        exportIntervalOf(form_.speedText());  // a speed that never plays is told before the dialog
    } catch (const ExportError& e) {
        tell(std::string("Cannot export: ") + e.what());
        return;
    }
    std::string start = lastPath_;
    if (start.empty()) start = std::filesystem::path(form_.model().DataFile).replace_extension(".mid").string();
    const std::optional<std::string> path = chooser_.chooseSaveFile(kTitle, kFilter, start);
    if (!path || path->empty()) return;
    lastPath_ = *path;
    exportTo(*path);
}

void ExportAction::exportTo(const std::string& path) {
    ExportSettings settings;
    QProgressDialog progress(QString::fromStdString("Exporting " + std::filesystem::path(path).filename().string() + "..."),
                             QStringLiteral("Cancel"), 0, kProgressSteps, &form_);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(QString::fromLatin1(kTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    try {
        settings.intervalMs = exportIntervalOf(form_.speedText());
        settings.instrument = &kInstruments.at(static_cast<std::size_t>(selectedInstrument() - 1));
        // False after Cancel: the user's own choice, nothing to tell.
        exportRecording(form_.model(), path, settings, [&progress](double done) {
            progress.setValue(static_cast<int>(done * kProgressSteps));
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const std::exception& e) {
        progress.close();
        tell(std::string("Cannot export: ") + e.what());
    }
}

}  // namespace cellsonify
