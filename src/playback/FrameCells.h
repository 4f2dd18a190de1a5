#pragma once

#include "model/ActivityTable.h"

#include <cstdint>
#include <span>

namespace cellsonify {

// Frame index a playback position reads: `position` rounded half-to-even.
// Values too large or small to be frames (and NaN) give -1, which no cell is
// active in.
long long nearestFrame(double position);

// The cells 1..lastCell active in one frame index, ascending, one at a time.
// Frame 0 holds every cell's level, so it yields every kept cell; other frames
// use the table's frame-major index and cost only their own events.
class FrameCells {
public:
    static constexpr int kDone = INT32_MAX;

    // No cells at all.
    FrameCells() = default;
    FrameCells(const ActivityTable& activity, long long frame, int lastCell);

    // The current cell, or kDone once every cell has been passed.
    int cell() const { return cell_; }
    // Moves to the next active cell.
    void next();

private:
    void settle();

    const ActivityTable* activity_ = nullptr;
    std::span<const int32_t> listed_;   // frames >= 1: remaining cells of the frame
    bool everyCell_ = false;            // frame 0: walk 1..lastCell by level
    int lastCell_ = 0;
    int cell_ = kDone;
};

}  // namespace cellsonify
