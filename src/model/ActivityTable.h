#pragma once

#include "model/BigAllocator.h"

#include <cstdint>
#include <span>
#include <vector>

namespace cellsonify {

// Highest cell and frame index a data file may use (cells 1..1500, frames
// 1..100000). Imports are bounded by memory only.
inline constexpr int kMaxCellIndex = 1500;
inline constexpr int kMaxFrameIndex = 100000;

// Which cells are active in which frames, stored sparsely: one ascending frame
// list per cell for the redraw, and one ascending cell list per frame for the
// playback tick. Entry (cell, 0) is the cell's level, as in the dense layout
// this replaces; entry (cell, f >= 1) is 1 when the cell is active in f.
class ActivityTable {
public:
    ActivityTable() = default;

    // The entry at (cell, frame): the level for frame 0, else 1 or 0.
    // Throws std::out_of_range outside cells 0..max(1500, cellCount()) or
    // frames 0..max(100000, lastFrame()).
    int16_t at(int cell, int frame) const;

    // Active test for any frame index: frames below 0 or above the stored frames
    // count as inactive, never out of bounds. Frame 0 is active for every kept cell.
    bool active(int cell, long long frame) const;

    // Frames (>= 1, ascending, no repeats) in which `cell` is active, including
    // frames above the declared frame count. Empty for a cell outside 1..cellCount().
    std::span<const int32_t> framesOf(int cell) const;

    // Cells (ascending) active in `frame`. Empty for frame < 1 or above lastFrame().
    std::span<const int32_t> cellsIn(long long frame) const;

    // Level of `cell` (entry (cell, 0)); 0 for a cell outside 1..cellCount().
    int16_t level(int cell) const;

    int cellCount() const { return levels_.empty() ? 0 : static_cast<int>(levels_.size()) - 1; }
    // Highest frame any cell is active in; 0 when there is none.
    int32_t lastFrame() const { return lastFrame_; }
    // Number of (cell, frame) pairs stored.
    std::size_t eventCount() const { return frames_.size(); }
    // Where (cell, frame >= 1) stands among all stored pairs, cell by cell and
    // frames ascending (0 .. eventCount() - 1), so per-event values can sit in
    // a plain array beside the table; -1 when the cell is not active there.
    std::ptrdiff_t eventIndex(int cell, long long frame) const;

    bool operator==(const ActivityTable& other) const = default;

    friend class ActivityBuilder;

private:
    std::vector<int16_t> levels_;        // index 0 unused
    std::vector<uint32_t> cellStart_;    // cell c's frames: frames_[cellStart_[c] .. cellStart_[c+1])
    std::vector<int32_t, BigAllocator<int32_t>> frames_;
    std::vector<uint32_t> frameStart_;   // frame f's cells: cells_[frameStart_[f] .. frameStart_[f+1])
    std::vector<int32_t, BigAllocator<int32_t>> cells_;
    int32_t lastFrame_ = 0;
};

// Fills an ActivityTable cell by cell, in ascending cell order.
class ActivityBuilder {
public:
    // Room for about `events` frames in all, to spare regrowing on large files.
    void reserve(std::size_t events) { table_.frames_.reserve(events); }
    // Starts the next cell (numbered from 1) with its level (>= 1).
    void beginCell(int16_t level);
    // Marks the current cell active in `frame` (>= 1; repeats and any order allowed).
    void addFrame(int32_t frame) {
        table_.frames_.push_back(frame);
        // Folding a list that repeats itself keeps a file of one frame
        // repeated from taking memory out of proportion to what it holds.
        if (table_.frames_.size() - cellBegin_ > foldAbove_) foldCell();
    }
    // Bulk form of addFrame for a parser: `n` uninitialised slots for frames of
    // the current cell; the caller fills the first ones and hands back the
    // `unused` rest with keepFrames().
    int32_t* frameRoom(std::size_t n) {
        const std::size_t size = table_.frames_.size();
        table_.frames_.resize(size + n);
        return table_.frames_.data() + size;
    }
    void keepFrames(std::size_t unused) {
        table_.frames_.resize(table_.frames_.size() - unused);
        if (table_.frames_.size() - cellBegin_ > foldAbove_) foldCell();
    }
    int cellCount() const { return table_.levels_.empty() ? 0 : static_cast<int>(table_.levels_.size()) - 1; }
    // Sorts, removes repeats and builds the frame-major index. The builder is spent.
    ActivityTable finish();

private:
    static constexpr std::size_t kFoldAbove = 4 * static_cast<std::size_t>(kMaxFrameIndex);
    // Folds when the current cell's list passes this; doubles past what a
    // fold leaves, so a long list of distinct frames is not folded again and again.
    std::size_t foldAbove_ = kFoldAbove;
    void foldCell();
    void closeCell();
    void buildFrameIndex(ActivityTable& t) const;
    ActivityTable table_{};
    // Cells active per frame, counted as each cell closes: frameCells_[f] for frame f.
    std::vector<uint32_t> frameCells_;
    std::size_t cellBegin_ = 0;  // where the current cell's frames start in frames_
    bool started_ = false;
};

}  // namespace cellsonify
