#include "app/ExportJob.h"

#include "soundfiles/RecordingExport.h"

#include <exception>

namespace cellsonify {

ExportJob::ExportJob(CellModel recording, std::string path, ExportSettings settings, QObject* parent)
    : ExportTask(parent), recording_(std::move(recording)), path_(std::move(path)), settings_(settings) {}

ExportJob::~ExportJob() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

void ExportJob::start() {
    if (cancelled_) {
        emit finished(false, QString());
        return;
    }
    worker_ = std::thread([this] { run(); });
}

void ExportJob::run() {
    int lastPermille = -1;
    // Emitted from the worker: Qt queues the calls to receivers in the window's thread.
    const auto progress = [this, &lastPermille](double done) {
        const int permille = static_cast<int>(done * 1000);
        if (permille != lastPermille) {
            lastPermille = permille;
            emit progressed(done);
        }
        return !cancelled_.load();
    };
    try {
        const bool written = exportRecording(recording_, path_, settings_, progress);
        emit finished(written, QString());
    } catch (const std::exception& e) {
        emit finished(false, QString::fromStdString(e.what()));
    }
}

}  // namespace cellsonify
