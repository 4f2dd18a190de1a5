#include "playback/FrameCells.h"

#include "playback/NumberText.h"

#include <algorithm>

namespace cellsonify {

long long nearestFrame(double position) {
    // Far beyond any stored frame yet safely inside long long.
    constexpr double kFarAway = 1e15;
    if (!(position > -kFarAway && position < kFarAway)) return -1;
    return static_cast<long long>(roundHalfEven(position));
}

FrameCells::FrameCells(const ActivityTable& activity, long long frame, int lastCell)
    : activity_(&activity), lastCell_(std::min(lastCell, activity.cellCount())) {
    if (lastCell_ < 1) return;
    if (frame == 0) {
        everyCell_ = true;
        cell_ = 1;
        settle();
    } else {
        listed_ = activity.cellsIn(frame);
        cell_ = listed_.empty() ? kDone : listed_.front();
        if (cell_ > lastCell_) cell_ = kDone;
    }
}

void FrameCells::next() {
    if (cell_ == kDone) return;
    if (everyCell_) {
        ++cell_;
        settle();
        return;
    }
    listed_ = listed_.subspan(1);
    cell_ = listed_.empty() || listed_.front() > lastCell_ ? kDone : listed_.front();
}

// Skips cells whose level is 0 (a table may hold such rows) up to lastCell.
void FrameCells::settle() {
    while (cell_ <= lastCell_ && activity_->level(cell_) <= 0) ++cell_;
    if (cell_ > lastCell_) cell_ = kDone;
}

}  // namespace cellsonify
