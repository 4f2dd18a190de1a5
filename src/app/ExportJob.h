#pragma once

#include "app/ExportTask.h"
#include "soundfiles/ExportOptions.h"
#include "model/CellModel.h"

#include <atomic>
#include <string>
#include <thread>

namespace cellsonify {

// One MIDI or WAV export of a recording running on a worker thread of its
// own, so the window stays responsive. Progress and the end are signals
// delivered on the thread the job was created in (queued), never calls from
// the worker.
class ExportJob : public ExportTask {
    Q_OBJECT
public:
    // The job keeps its own copy of `recording`, so a load meanwhile cannot
    // disturb it.
    ExportJob(CellModel recording, std::string path, ExportSettings settings, QObject* parent = nullptr);
    // Cancels the work and waits for the worker to stop.
    ~ExportJob() override;

    // Starts the worker.
    void start() override;
    // The worker stops at its next progress report.
    void cancel() override { cancelled_ = true; }

private:
    void run();

    CellModel recording_;
    std::string path_;
    ExportSettings settings_;
    std::atomic<bool> cancelled_{false};
    std::thread worker_;
};

}  // namespace cellsonify
