#include "app/RecordingOpening.h"

#include "app/MessageSink.h"
#include "app/WorkJob.h"
#include "app/WorkProgressDialog.h"
#include "files/PathNames.h"
#include "files/WorkThread.h"

#include <QProgressDialog>
#include <QWidget>

#include <filesystem>

namespace cellsonify {

std::string recordingName(const std::string& path) { return recordingNameOf(path); }

RecordingOpening::RecordingOpening(QWidget& form, OpenFunction open, MessageSink& messages, Show show)
    : QObject(&form), form_(form), open_(std::move(open)), messages_(messages), show_(std::move(show)) {}

RecordingOpening::~RecordingOpening() = default;

bool RecordingOpening::start(const std::string& path, const ImportOptions& options) {
    if (busy()) return false;
    path_ = path;
    progress_ = openWorkProgressDialog(form_, QStringLiteral("importProgress"), kTitle,
                                       "Opening " + recordingName(path) + "...");
    read_ = std::make_shared<OpenedRecording>();
    job_ = std::make_unique<WorkJob>([open = open_, path, options, read = read_] {
        return std::make_unique<WorkThread>(
            [open, path, options, read](const std::function<void(double)>& report, const std::atomic<bool>& cancelled) {
                *read = open(path, options, ImportProgress{report, &cancelled});
            });
    });
    connect(
        job_.get(), &WorkJob::progressed, progress_,
        [this](double done) {
            if (progress_) progress_->setValue(static_cast<int>(done * kWorkProgressSteps));
        },
        Qt::QueuedConnection);
    connect(job_.get(), &WorkJob::finished, this, &RecordingOpening::jobEnded);
    connect(progress_, &QProgressDialog::canceled, job_.get(), &WorkJob::cancel);
    progress_->show();
    // Started from the event loop, after the dialog is up and a Cancel meanwhile has been seen.
    QMetaObject::invokeMethod(job_.get(), &WorkJob::start, Qt::QueuedConnection);
    return true;
}

void RecordingOpening::jobEnded(bool opened, const QString& error) {
    // The job has emitted its last signal; this deletes it after it returns.
    job_.release()->deleteLater();
    // A modal dialog's setValue runs the event loop, so this may be called from
    // inside it: hidden now (the window is usable again), deleted later.
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
    // The window, not the dialog's remains, takes the keys again (its shortcuts included).
    form_.activateWindow();
    const std::shared_ptr<OpenedRecording> read = std::move(read_);
    QString told = error;
    if (opened) {
        show_(std::move(*read));
    } else if (!error.isEmpty()) {
        // Readers name the file inside a folder they refused, and the data
        // file's line ("a.txt, line 3: ..."); the message also names what was opened.
        const std::string name = recordingName(path_);
        std::string text = error.toStdString();
        if (text.rfind(name + ":", 0) != 0 && text.rfind(name + ",", 0) != 0) text = name + ": " + text;
        told = QString::fromStdString(text);
        messages_.show(form_.windowTitle().toStdString(), text);
    }
    emit openingEnded(opened, told);
}

}  // namespace cellsonify
