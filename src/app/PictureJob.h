#pragma once

#include "app/ExportTask.h"
#include "film/MovieExport.h"
#include "model/CellModel.h"

#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace cellsonify {

// One movie (.mp4) or still picture (.png) export of a recording, made a
// slice at a time from the window's event loop, because the window's pictures
// can only be drawn on its thread; the movie's sound renders on a thread of
// its own meanwhile. Between slices the window answers the user (Cancel
// included) without any nested event loop. The pictures come from a window
// of the job's own, never shown, so the user's window is never touched.
class PictureJob : public ExportTask {
    Q_OBJECT
public:
    // A movie when `path` ends in .mp4; otherwise the picture at `frame`
    // (none: at rest). The job keeps its own copy of `recording`.
    PictureJob(CellModel recording, std::string path, PictureSettings settings, std::optional<int64_t> frame,
               QObject* parent = nullptr);
    ~PictureJob() override;

    void start() override;
    // The job stops before its next slice, leaving no file.
    void cancel() override { cancelled_ = true; }

private:
    void nextSlice();
    void end(bool written, const QString& error);

    CellModel recording_;
    std::string path_;
    PictureSettings settings_;
    std::optional<int64_t> frame_;
    std::unique_ptr<PictureExport> work_;
    QTimer slices_;
    bool cancelled_ = false;
    int lastPermille_ = -1;
};

}  // namespace cellsonify
