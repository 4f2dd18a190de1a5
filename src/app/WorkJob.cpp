#include "app/WorkJob.h"

#include <exception>

namespace cellsonify {

ExportJob::ExportJob(CellModel recording, std::string path, ExportSettings settings, QObject* parent)
    : ExportTask(parent), recording_(std::move(recording)), path_(std::move(path)), settings_(std::move(settings)) {
    // A zero timer: the next step runs once the events waiting meanwhile
    // (a click on Cancel, a repaint) have been handled.
    steps_.setSingleShot(true);
    steps_.setInterval(0);
    connect(&steps_, &QTimer::timeout, this, &ExportJob::nextStep);
}

ExportJob::~ExportJob() = default;

void ExportJob::start() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    steps_.start();
}

void ExportJob::nextStep() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    try {
        if (!work_) work_ = outputFormatOf(path_).start(recording_, path_, settings_);
        if (work_->advance()) {
            end(true, QString());
            return;
        }
        const int permille = static_cast<int>(work_->done() * 1000);
        if (permille != lastPermille_) {
            lastPermille_ = permille;
            emit progressed(work_->done());
        }
        steps_.start();
    } catch (const std::exception& e) {
        end(false, QString::fromStdString(e.what()));
    }
}

void ExportJob::end(bool written, const QString& error) {
    work_.reset();  // unfinished work takes its temporary file with it
    emit finished(written, error);
}

}  // namespace cellsonify
