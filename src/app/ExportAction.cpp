#include "app/ExportAction.h"

#include "app/MainWindow.h"
#include "app/ExportJob.h"
#include "app/MessageSink.h"
#include "app/SaveFileChooser.h"
#include "export/ExportOptions.h"
#include "playback/PlaybackController.h"
#include "sound/Instruments.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>

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

ExportAction::~ExportAction() = default;

void ExportAction::showMenu(const QPoint& at) {
    // Right-clicks on the views and buttons reach the window too; the menu
    // belongs to its bare background (labels are painted on it).
    QWidget* under = form_.childAt(at);
    if (under && !qobject_cast<QLabel*>(under)) return;
    menu_->popup(form_.mapToGlobal(at));
}

void ExportAction::tell(const std::string& text) { messages_.show(form_.windowTitle().toStdString(), text); }

void ExportAction::run() {
    if (form_.model().DataFile.empty()) {
        tell("There is no recording to export: load a data file first.");
        return;
    }
    try {
        exportIntervalOf(form_.playback().settings().speedText);  // a speed that never plays is told before the dialog
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
    if (busy()) return;
    const PlaybackSettings& playing = form_.playback().settings();
    ExportSettings settings;
    try {
        settings.intervalMs = exportIntervalOf(playing.speedText);
    } catch (const std::exception& e) {
        tell(std::string("Cannot export: ") + e.what());
        return;
    }
    settings.instrument = &kInstruments.at(static_cast<std::size_t>(playing.instrument - 1));
    settings.mapping = playing.mapping;
    settings.noteLength = playing.noteLength;

    progress_ = new QProgressDialog(
        QString::fromStdString("Exporting " + std::filesystem::path(path).filename().string() + "..."),
        QStringLiteral("Cancel"), 0, kProgressSteps, &form_);
    progress_->setObjectName(QStringLiteral("exportProgress"));
    progress_->setWindowTitle(QString::fromLatin1(kTitle));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setValue(0);

    job_ = std::make_unique<ExportJob>(form_.model(), path, settings);
    connect(job_.get(), &ExportJob::progressed, progress_,
            [this](double done) { progress_->setValue(static_cast<int>(done * kProgressSteps)); });
    connect(job_.get(), &ExportJob::finished, this, &ExportAction::jobEnded);
    connect(progress_, &QProgressDialog::canceled, job_.get(), &ExportJob::cancel);
    progress_->show();
    // Started from the event loop, after the dialog is up and anything the
    // user did meanwhile (a Cancel) has been seen.
    QMetaObject::invokeMethod(job_.get(), &ExportJob::start, Qt::QueuedConnection);
}

void ExportAction::jobEnded(bool, const QString& error) {
    // The worker has emitted its last signal; this deletes the job after it returns.
    job_.release()->deleteLater();
    // Gone at once (not later), so the window is active again for Ctrl+E.
    delete progress_;
    progress_ = nullptr;
    form_.activateWindow();
    // Nothing written without an error: the user's own Cancel, nothing to tell.
    if (!error.isEmpty()) tell("Cannot export: " + error.toStdString());
    emit exportEnded();
}

}  // namespace cellsonify
