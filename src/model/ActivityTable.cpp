#include "model/ActivityTable.h"

#include <algorithm>
#include <span>
#include <cmath>
#include <stdexcept>
#include <string>
#include <thread>

namespace cellsonify {

int16_t ActivityTable::at(int cell, int frame) const {
    if (cell < 0 || cell > std::max(kMaxCellIndex, cellCount()) || frame < 0 ||
        frame > std::max(kMaxFrameIndex, lastFrame_))
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

std::ptrdiff_t ActivityTable::eventIndex(int cell, long long frame) const {
    if (frame < 1 || frame > lastFrame_) return -1;
    const auto list = framesOf(cell);
    const auto at = std::lower_bound(list.begin(), list.end(), static_cast<int32_t>(frame));
    if (at == list.end() || *at != frame) return -1;
    return static_cast<std::ptrdiff_t>(cellStart_[cell] + static_cast<std::size_t>(at - list.begin()));
}

std::span<const int32_t> ActivityTable::cellsIn(long long frame) const {
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
        frameCells_.assign(static_cast<std::size_t>(kMaxFrameIndex) + 1, 0);
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
    foldAbove_ = std::max(kFoldAbove, 2 * (frames.size() - cellBegin_));
}

void ActivityBuilder::closeCell() {
    auto& frames = table_.frames_;
    const int32_t* const first = frames.data() + cellBegin_;
    const int32_t* const last = frames.data() + frames.size();
    // Count the cell's frames per frame while they are still in cache; a list
    // that is not strictly ascending (rare) is undone, folded and counted again.
    int32_t previous = 0, top = 0;
    bool ascending = true;
    for (const int32_t* f = first; f != last; ++f) {
        ascending &= *f > previous;
        previous = *f;
        top = std::max(top, *f);
    }
    // Imports may pass a data file's frame limit; the counts grow with them.
    if (static_cast<std::size_t>(top) >= frameCells_.size())
        frameCells_.resize(std::max(static_cast<std::size_t>(top) + 1, 2 * frameCells_.size()), 0);
    uint32_t* const count = frameCells_.data();
    for (const int32_t* f = first; f != last; ++f) ++count[*f];
    if (!ascending) {
        for (const int32_t* f = first; f != last; ++f) --count[*f];
        foldCell();
        for (auto f = frames.begin() + static_cast<std::ptrdiff_t>(cellBegin_); f != frames.end(); ++f) ++count[*f];
    }
    if (frames.size() > cellBegin_) table_.lastFrame_ = std::max(table_.lastFrame_, frames.back());
    cellBegin_ = frames.size();
    foldAbove_ = kFoldAbove;
    table_.cellStart_.push_back(static_cast<uint32_t>(cellBegin_));
}

namespace {

// Writes the cells of frames first..last into the frame-major index, each cell
// starting from its first frame at or after `first`. Cells are visited in
// ascending order within blocks of frames whose share of the index fits in the
// processor's cache, so the scattered writes stay there.
void scatterCells(const ActivityTable& t, std::span<const uint32_t> cellStart, const int32_t* frames,
                  const uint32_t* frameStart, int32_t* out, int32_t first, int32_t last) {
    const std::size_t events = frameStart[last + 1] - frameStart[first];
    if (events == 0) return;
    const int cells = static_cast<int>(cellStart.size()) - 2;
    std::vector<uint32_t> next(frameStart + first, frameStart + last + 1);  // next free slot of each frame
    uint32_t* const slot = next.data() - first;
    std::vector<uint32_t> cursor(cellStart.size());  // each cell's next frame
    for (int c = 1; c <= cells; ++c) {
        const auto own = t.framesOf(c);
        cursor[c] = cellStart[c] + static_cast<uint32_t>(std::lower_bound(own.begin(), own.end(), first) - own.begin());
    }
    constexpr std::size_t kBlockBytes = 512 * 1024;
    const std::size_t span = static_cast<std::size_t>(last - first) + 1;
    const std::size_t perBlock = kBlockBytes / sizeof(int32_t) * span / events;
    const auto blockFrames = static_cast<int32_t>(std::min(std::max<std::size_t>(perBlock, 256), span));
    for (int32_t blockEnd = first - 1 + blockFrames;; blockEnd += blockFrames) {
        const int32_t limit = std::min(blockEnd, last);
        for (int c = 1; c <= cells; ++c) {
            uint32_t k = cursor[c];
            const uint32_t end = cellStart[c + 1];
            while (k < end && frames[k] <= limit) out[slot[frames[k]]++] = c, ++k;
            cursor[c] = k;
        }
        if (limit == last) break;
    }
}

}  // namespace

// Frame-major index: each frame's cells, ascending. A large table is built by
// two threads, each taking the frames that hold half of the events.
void ActivityBuilder::buildFrameIndex(ActivityTable& t) const {
    const int32_t lastFrame = t.lastFrame_;
    t.frameStart_.resize(static_cast<std::size_t>(lastFrame) + 2);
    uint32_t* const start = t.frameStart_.data();
    start[0] = 0;
    start[1] = 0;
    for (int32_t f = 1; f <= lastFrame; ++f) start[f + 1] = start[f] + frameCells_[f];
    t.cells_.resize(t.frames_.size());
    const std::size_t events = t.frames_.size();
    if (events == 0) return;

    const std::span<const uint32_t> cellStart(t.cellStart_);
    const int32_t* const frames = t.frames_.data();
    int32_t* const out = t.cells_.data();
    constexpr std::size_t kTwoThreadsFrom = 1 << 16;  // below this a thread costs more than it saves
    if (events < kTwoThreadsFrom || lastFrame < 2) {
        scatterCells(t, cellStart, frames, start, out, 1, lastFrame);
        return;
    }
    // The last frame of the first half: where the events before it pass half of them.
    const auto split = static_cast<int32_t>(
        std::upper_bound(start + 2, start + lastFrame + 1, static_cast<uint32_t>(events / 2)) - start - 1);
    std::thread secondHalf([&] { scatterCells(t, cellStart, frames, start, out, split, lastFrame); });
    scatterCells(t, cellStart, frames, start, out, 1, split - 1);
    secondHalf.join();
}

ActivityTable ActivityBuilder::finish() {
    if (!started_) return {};
    closeCell();
    ActivityTable t = std::move(table_);
    buildFrameIndex(t);
    table_ = {};
    frameCells_ = {};
    started_ = false;
    cellBegin_ = 0;
    return t;
}

}  // namespace cellsonify
