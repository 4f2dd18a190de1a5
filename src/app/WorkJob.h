#pragma once

#include "files/SteppedWork.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace cellsonify {

// Long work (an export, opening a recording) stepped from the window's event
// loop: between steps the window answers the user, Cancel included, without
// any nested event loop. Work that paints runs its steps on the window's
// thread (the only one that can); reading or writing a file runs on a thread
// of its own meanwhile (WorkThread). Progress and the end are signals on the
// window's thread.
class WorkJob : public QObject {
    Q_OBJECT
public:
    // Makes the work, on the first step, so what it refuses at once ends the
    // job like any later failure.
    using Start = std::function<std::unique_ptr<SteppedWork>()>;
    explicit WorkJob(Start start, QObject* parent = nullptr);
    ~WorkJob() override;

    // Starts stepping. A job cancelled before it starts finishes at once.
    void start();
    // The job stops before its next step; the work goes, leaving nothing.
    void cancel() { cancelled_ = true; }

signals:
    // Share done (0..1), reported when the permille changes.
    void progressed(double done);
    // The job ended: `completed` when the work is; otherwise `error` says
    // why, or is empty after a cancel.
    void finished(bool completed, const QString& error);

private:
    void nextStep();
    void end(bool completed, const QString& error);

    Start start_;
    std::unique_ptr<SteppedWork> work_;
    QTimer steps_;
    bool cancelled_ = false;
    int lastPermille_ = -1;
};

}  // namespace cellsonify
