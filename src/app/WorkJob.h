#pragma once

#include "app/ExportTask.h"
#include "film/OutputFormats.h"
#include "model/CellModel.h"

#include <QTimer>

#include <memory>
#include <string>

namespace cellsonify {

// One export of a recording, in any output format, stepped from the window's
// event loop: a movie's or picture's steps paint on the window's thread (the
// only one that can), a MIDI or WAV file and a movie's sound are made on
// threads of their own meanwhile. Between steps the window answers the user
// (Cancel included) without any nested event loop. Pictures come from a face
// of the job's own, so the user's window is never touched.
class ExportJob : public ExportTask {
    Q_OBJECT
public:
    // The output `path`'s extension names; the job keeps its own copy of `recording`.
    ExportJob(CellModel recording, std::string path, ExportSettings settings, QObject* parent = nullptr);
    ~ExportJob() override;

    void start() override;
    // The job stops before its next step, leaving no file.
    void cancel() override { cancelled_ = true; }

private:
    void nextStep();
    void end(bool written, const QString& error);

    CellModel recording_;
    std::string path_;
    ExportSettings settings_;
    std::unique_ptr<ExportWork> work_;
    QTimer steps_;
    bool cancelled_ = false;
    int lastPermille_ = -1;
};

}  // namespace cellsonify
