#include "model/ActivityTable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace cellsonify {

int16_t ActivityTable::at(int cell, int frame) const {
    if (cell < 0 || cell > kMaxCellIndex || frame < 0 || frame > kMaxFrameIndex)
        throw std::out_of_range("activity index (" + std::to_string(cell) + ", " +
                                std::to_string(frame) + ") out of range");
    if (frame == 0) return level(cell);
    return active(cell, frame) ? 1 : 0;
}

bool ActivityTable::active(int cell, long long frame) const {
    if (cell < 1 || cell > cellCount()) return false;
    if (frame == 0) return levels_[cell] > 0;
    if (frame < 1 || frame > lastFrame_) return false;
    auto list = framesOf(cell);
    return std::binary_search(list.begin(), list.end(), static_cast<int32_t>(frame));
}

std::span<const int32_t> ActivityTable::framesOf(int cell) const {
    if (cell < 1 || cell > cellCount()) return {};
    return {frames_.data() + cellStart_[cell], frames_.data() + cellStart_[cell + 1]};
}

std::span<const int16_t> ActivityTable::cellsIn(long long frame) const {
    if (frame < 1 || frame > lastFrame_) return {};
    return {cells_.data() + frameStart_[frame], cells_.data() + frameStart_[frame + 1]};
}

int16_t ActivityTable::level(int cell) const {
    if (cell < 1 || cell > cellCount()) return 0;
    return levels_[cell];
}

void ActivityBuilder::beginCell(int16_t level) {
    if (!started_) {
        table_.levels_.assign(1, 0);
        table_.cellStart_.assign(2, 0);
        started_ = true;
    } else {
        closeCell();
    }
    table_.levels_.push_back(level);
}

void ActivityBuilder::foldCell() {
    auto& frames = table_.frames_;
    const auto begin = frames.begin() + static_cast<std::ptrdiff_t>(cellBegin_);
    // Files list frames in order almost always; sort only when they do not.
    if (!std::is_sorted(begin, frames.end())) std::sort(begin, frames.end());
    frames.erase(std::unique(begin, frames.end()), frames.end());
}

void ActivityBuilder::closeCell() {
    foldCell();
    auto& frames = table_.frames_;
    if (frames.size() > cellBegin_) table_.lastFrame_ = std::max(table_.lastFrame_, frames.back());
    cellBegin_ = frames.size();
    table_.cellStart_.push_back(static_cast<uint32_t>(cellBegin_));
}

ActivityTable ActivityBuilder::finish() {
    if (!started_) return {};
    closeCell();
    ActivityTable t = std::move(table_);
    // Frame-major index by counting sort: visiting cells in ascending order keeps
    // each frame's cell list ascending.
    t.frameStart_.assign(static_cast<std::size_t>(t.lastFrame_) + 2, 0);
    for (int32_t f : t.frames_) ++t.frameStart_[f + 1];
    for (std::size_t f = 1; f < t.frameStart_.size(); ++f) t.frameStart_[f] += t.frameStart_[f - 1];
    t.cells_.resize(t.frames_.size());
    std::vector<uint32_t> next(t.frameStart_.begin(), t.frameStart_.end() - 1);
    const int cells = t.cellCount();
    for (int c = 1; c <= cells; ++c)
        for (uint32_t k = t.cellStart_[c]; k < t.cellStart_[c + 1]; ++k)
            t.cells_[next[t.frames_[k]]++] = static_cast<int16_t>(c);
    table_ = {};
    started_ = false;
    cellBegin_ = 0;
    return t;
}

}  // namespace cellsonify
