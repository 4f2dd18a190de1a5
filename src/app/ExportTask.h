#pragma once

#include <QObject>
#include <QString>

namespace cellsonify {

// An export under way, as the window's Export command follows it: progress
// and the end are signals delivered on the window's thread.
class ExportTask : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the work. A task cancelled before it starts finishes at once.
    virtual void start() = 0;
    // Asks the work to stop soon; nothing is written.
    virtual void cancel() = 0;

signals:
    // Share done (0..1), reported when the permille changes.
    void progressed(double done);
    // The task ended: `written` when the file is complete; otherwise `error`
    // says why, or is empty after a cancel.
    void finished(bool written, const QString& error);
};

}  // namespace cellsonify
