#include "app/PictureJob.h"

#include "soundfiles/ExportOptions.h"

#include <exception>

namespace cellsonify {

PictureJob::PictureJob(CellModel recording, std::string path, PictureSettings settings, std::optional<int64_t> frame,
                       QObject* parent)
    : ExportTask(parent),
      recording_(std::move(recording)),
      path_(std::move(path)),
      settings_(settings),
      frame_(frame) {
    // A zero timer: the next slice runs once the events waiting meanwhile
    // (a click on Cancel, a repaint) have been handled.
    slices_.setSingleShot(true);
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &PictureJob::nextSlice);
}

PictureJob::~PictureJob() = default;

void PictureJob::start() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    slices_.start();
}

void PictureJob::nextSlice() {
    if (cancelled_) {
        end(false, QString());
        return;
    }
    try {
        if (!work_)
            work_ = exportFormatOf(path_) == ExportFormat::Mp4 ? startMovieExport(recording_, path_, settings_)
                                                               : startPictureExport(recording_, path_, settings_, frame_);
        if (work_->advance()) {
            end(true, QString());
            return;
        }
        const int permille = static_cast<int>(work_->done() * 1000);
        if (permille != lastPermille_) {
            lastPermille_ = permille;
            emit progressed(work_->done());
        }
        slices_.start();
    } catch (const std::exception& e) {
        end(false, QString::fromStdString(e.what()));
    }
}

void PictureJob::end(bool written, const QString& error) {
    work_.reset();  // an unfinished movie or picture takes its temporary file with it
    emit finished(written, error);
}

}  // namespace cellsonify
