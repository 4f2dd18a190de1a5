#include "app/ImportJob.h"

#include "import/ImportError.h"

#include <exception>

namespace cellsonify {

ImportJob::ImportJob(std::string path, ImportFunction import, QObject* parent)
    : QObject(parent), path_(std::move(path)), import_(std::move(import)) {}

ImportJob::~ImportJob() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

void ImportJob::start() {
    if (cancelled_) {
        emit finished(false, QString());
        return;
    }
    worker_ = std::thread([this] { run(); });
}

void ImportJob::run() {
    int lastPermille = -1;
    ImportProgress progress;
    progress.cancel = &cancelled_;
    // Emitted from the worker: Qt queues the calls to receivers in the window's thread.
    progress.report = [this, &lastPermille](double done) {
        const int permille = static_cast<int>(done * 1000);
        if (permille != lastPermille) {
            lastPermille = permille;
            emit progressed(done);
        }
    };
    try {
        result_ = import_(path_, progress);
        // A cancel that came too late to stop the reader still means "keep what was shown".
        if (cancelled_) emit finished(false, QString());
        else emit finished(true, QString());
    } catch (const ImportCancelled&) {
        emit finished(false, QString());
    } catch (const std::exception& e) {
        emit finished(false, QString::fromStdString(e.what()));
    }
}

}  // namespace cellsonify
