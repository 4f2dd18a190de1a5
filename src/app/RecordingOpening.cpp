#include "app/RecordingOpening.h"

#include "app/MessageSink.h"
#include "app/WorkProgressDialog.h"

#include <QProgressDialog>
#include <QWidget>

#include <filesystem>

namespace cellsonify {

namespace {
}  // namespace

std::string recordingName(const std::string& path) {
    std::filesystem::path p(path);
    if (!p.has_filename()) p = p.parent_path();
    const std::string name = p.filename().string();
    return name.empty() ? path : name;
}

RecordingImport::RecordingImport(QWidget& form, ImportFunction import, MessageSink& messages, Show show)
    : QObject(&form), form_(form), import_(std::move(import)), messages_(messages), show_(std::move(show)) {}

RecordingImport::~RecordingImport() = default;

bool RecordingImport::start(const std::string& path) {
    if (busy()) return false;
    path_ = path;
    progress_ = openWorkProgressDialog(form_, QStringLiteral("importProgress"), kTitle,
                                       "Opening " + recordingName(path) + "...");

    job_ = std::make_unique<ImportJob>(path, import_);
    connect(job_.get(), &ImportJob::progressed, progress_,
            [this](double done) {
                if (progress_) progress_->setValue(static_cast<int>(done * kWorkProgressSteps));
            });
    connect(job_.get(), &ImportJob::finished, this, &RecordingImport::jobEnded);
    connect(progress_, &QProgressDialog::canceled, job_.get(), &ImportJob::cancel);
    progress_->show();
    // Started from the event loop, after the dialog is up and a Cancel meanwhile has been seen.
    QMetaObject::invokeMethod(job_.get(), &ImportJob::start, Qt::QueuedConnection);
    return true;
}

void RecordingImport::jobEnded(bool imported, const QString& error) {
    // The worker has emitted its last signal; this deletes the job after it returns.
    ImportJob* job = job_.release();
    job->deleteLater();
    // A modal dialog's setValue runs the event loop, so this may be called from
    // inside it: hidden now (the window is usable again), deleted later.
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
    QString told = error;
    if (imported) {
        show_(job->takeResult());
    } else if (!error.isEmpty()) {
        // Readers name the file inside a folder they refused; the message also names what was opened.
        const std::string name = recordingName(path_);
        std::string text = error.toStdString();
        if (text.rfind(name + ":", 0) != 0) text = name + ": " + text;
        told = QString::fromStdString(text);
        messages_.show(form_.windowTitle().toStdString(), text);
    }
    emit importEnded(imported, told);
}

}  // namespace cellsonify
