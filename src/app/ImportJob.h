#pragma once

#include "import/Importer.h"
#include "model/CellModel.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace cellsonify {

// Reads a recording at `path` (suite2p, NWB, CaImAn), reporting progress and
// watching the cancel flag; throws what importRecording throws.
using ImportFunction = std::function<ImportResult(const std::string& path, const ImportProgress& progress)>;

// One import running on a worker thread of its own, so the window stays
// responsive. Progress and the end are signals delivered on the thread the
// job was created in (queued), never calls from the worker.
class ImportJob : public QObject {
    Q_OBJECT
public:
    ImportJob(std::string path, ImportFunction import, QObject* parent = nullptr);
    // Cancels the work and waits for the worker to stop.
    ~ImportJob() override;

    // Starts the worker. A job cancelled before it starts finishes at once.
    void start();
    // Asks the worker to stop soon; nothing is produced.
    void cancel() { cancelled_ = true; }
    // The recording read, with its caption and source; valid once
    // finished(true, ...) has been received.
    ImportResult takeResult() { return std::move(result_); }

signals:
    // Share done (0..1), reported when the permille changes.
    void progressed(double done);
    // The job ended: `imported` when the recording was read; otherwise
    // `error` says why, or is empty after a cancel.
    void finished(bool imported, const QString& error);

private:
    void run();

    std::string path_;
    ImportFunction import_;
    ImportResult result_;  // written by the worker before it emits finished
    std::atomic<bool> cancelled_{false};
    std::thread worker_;
};

}  // namespace cellsonify
