#include "app/WorkJob.h"

#include <exception>

namespace cellsonify {

WorkJob::WorkJob(Start start, QObject* parent) : QObject(parent), start_(std::move(start)) {
    // A zero timer: the next step runs once the events waiting meanwhile
    // (a click on Cancel, a repaint) have been handled.
    steps_.setSingleShot(true);
    steps_.setInterval(0);
    connect(&steps_, &QTimer::timeout, this, &WorkJob::nextStep);
}

WorkJob::~WorkJob() = default;

void WorkJob::start() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    steps_.start();
}

void WorkJob::nextStep() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    try {
        if (!work_) work_ = start_();
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

void WorkJob::end(bool completed, const QString& error) {
    work_.reset();  // unfinished work takes what it made with it
    emit finished(completed, error);
}

}  // namespace cellsonify
