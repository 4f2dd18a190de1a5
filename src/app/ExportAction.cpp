#include "app/ExportAction.h"

#include "app/MainWindow.h"
#include "app/WorkJob.h"
#include "app/MessageSink.h"
#include "app/WorkProgressDialog.h"
#include "app/FileChooser.h"
#include "views/ImageButton.h"
#include "export/OutputFormats.h"
#include "playback/PlaybackController.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>

#include <cmath>
#include <filesystem>

namespace cellsonify {

ExportAction::ExportAction(MainWindow& form, FileChooser& chooser, MessageSink& messages)
    : QObject(&form), form_(form), chooser_(chooser), messages_(messages) {
    action_ = new QAction(QStringLiteral("Export..."), &form);
    action_->setObjectName(QStringLiteral("exportAction"));
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    action_->setShortcutContext(Qt::WindowShortcut);
    form.addAction(action_);
    connect(action_, &QAction::triggered, this, [this] { run(); });
    // Nothing to export until a recording is open; one stays open from then on.
    action_->setEnabled(false);
    connect(&form, &MainWindow::dataLoaded, action_, [this] { action_->setEnabled(true); });

    menu_ = new QMenu(&form);
    menu_->setObjectName(QStringLiteral("exportMenu"));
    menu_->addAction(action_);
    form.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&form, &QWidget::customContextMenuRequested, this, &ExportAction::showMenu);
}

ExportAction::~ExportAction() = default;

void ExportAction::setLastExtension(const std::string& extension) {
    try {
        outputFormatOf("x" + extension);
        lastExtension_ = extension;
    } catch (const std::exception&) {
        lastExtension_ = ".mid";  // a kept type this version does not write
    }
}

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
        refuseSpeedThatNeverPlays(form_.playback().settings().pass);  // told before the dialog
    } catch (const ExportError& e) {
        tell(std::string("Cannot export: ") + e.what());
        return;
    }
    std::string start = lastPath_;
    if (start.empty()) start = std::filesystem::path(form_.model().DataFile).replace_extension(lastExtension_).string();
    const std::optional<std::string> path = chooser_.chooseSaveFile(kTitle, outputDialogFilter(), start);
    if (!path || path->empty()) return;
    lastPath_ = *path;
    if (const std::string ext = std::filesystem::path(*path).extension().string(); !ext.empty()) {
        lastExtension_ = ext;
        emit extensionChosen(QString::fromStdString(ext));
    }
    exportTo(*path);
}

void ExportAction::exportTo(const std::string& path) {
    if (busy()) return;
    const PlaybackSettings& playing = form_.playback().settings();
    try {
        const OutputFormat& format = outputFormatOf(path);
        ExportSettings settings;
        settings.pass = playing.pass;
        refuseSpeedThatNeverPlays(settings.pass);
        const CellModel& model = form_.model();
        if (format.takesFrame && model.CurrentFrame >= 1 && model.FrameCount > 0)
            settings.frame = std::min<int64_t>(static_cast<int64_t>(std::floor(model.CurrentFrame)), model.FrameCount - 1);
        if (format.drawsPictures) {
            const UserScale window = form_.rasterWindow();
            settings.rasterWindow = RasterSpan{window.left, window.top, window.width, window.height};
            settings.layout = layoutOfDialogType(chooser_.saveType());
        }
        // A still shows the transport and the sound switch as the user left them.
        if (format.takesFrame)
            settings.controls = ShownControls{form_.stopButton().isVisibleTo(&form_), playing.soundOn};
        // The job keeps its own copy of the recording: the window may open another meanwhile.
        job_ = std::make_unique<WorkJob>([model, path, settings] { return outputFormatOf(path).start(model, path, settings); });
    } catch (const std::exception& e) {
        tell(std::string("Cannot export: ") + e.what());
        return;
    }

    writing_ = path;
    progress_ = openWorkProgressDialog(form_, QStringLiteral("exportProgress"), kTitle,
                                       "Exporting " + std::filesystem::path(path).filename().string() + "...");

    // Queued even from a job on this thread: a modal dialog's setValue()
    // handles pending events, which must not happen inside the job's slice.
    connect(
        job_.get(), &WorkJob::progressed, progress_,
        [this](double done) { progress_->setValue(static_cast<int>(done * kWorkProgressSteps)); }, Qt::QueuedConnection);
    connect(job_.get(), &WorkJob::finished, this, &ExportAction::jobEnded);
    connect(progress_, &QProgressDialog::canceled, job_.get(), &WorkJob::cancel);
    progress_->show();
    // Started from the event loop, after the dialog is up and anything the
    // user did meanwhile (a Cancel) has been seen.
    QMetaObject::invokeMethod(job_.get(), &WorkJob::start, Qt::QueuedConnection);
}

void ExportAction::jobEnded(bool written, const QString& error) {
    // The job has emitted its last signal; this deletes it after it returns.
    job_.release()->deleteLater();
    // Gone at once (not later), so the window is active again for Ctrl+E.
    delete progress_;
    progress_ = nullptr;
    form_.activateWindow();
    // Nothing written without an error: the user's own Cancel, nothing to tell.
    if (!error.isEmpty()) tell("Cannot export: " + error.toStdString());
    if (written && error.isEmpty())
        emit exported(QFileInfo(QString::fromStdString(writing_)).absoluteFilePath());
    emit exportEnded();
}

}  // namespace cellsonify
