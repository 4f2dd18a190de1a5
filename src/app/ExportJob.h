#pragma once

#include "export/ExportOptions.h"
#include "model/CellModel.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <string>
#include <thread>

namespace cellsonify {

// One export of a recording running on a worker thread of its own, so the
// window stays responsive. Progress and the end are signals delivered on the
// thread the job was created in (queued), never calls from the worker.
class ExportJob : public QObject {
    Q_OBJECT
public:
    // The job keeps its own copy of `recording`, so a load meanwhile cannot
    // disturb it.
    ExportJob(CellModel recording, std::string path, ExportSettings settings, QObject* parent = nullptr);
    // Cancels the work and waits for the worker to stop.
    ~ExportJob() override;

    // Starts the worker. A job cancelled before it starts finishes at once.
    void start();
    // Asks the worker to stop at its next progress report; nothing is written.
    void cancel() { cancelled_ = true; }

signals:
    // Share done (0..1), reported when the permille changes.
    void progressed(double done);
    // The job ended: `written` when the file is complete; otherwise `error`
    // says why, or is empty after a cancel.
    void finished(bool written, const QString& error);

private:
    void run();

    CellModel recording_;
    std::string path_;
    ExportSettings settings_;
    std::atomic<bool> cancelled_{false};
    std::thread worker_;
};

}  // namespace cellsonify
