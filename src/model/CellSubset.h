#pragma once

#include "model/CellModel.h"

#include <vector>

namespace cellsonify {

// Part of a recording as a recording of its own, with its positions in file units.
struct CellSubset {
    CellModel model;
    std::vector<CellPosition> filePositions{CellPosition{}};  // index = cell; [0] unused
};

// The recording of `cells` (ascending, distinct, each in 1..CellCount) of
// `model`: its cell i is cells[i - 1] with that cell's level, frames and file
// position; positions are normalised afresh, frames and frame rate kept.
// `filePositions` holds one position per cell of `model` (index = cell).
CellSubset subsetOfCells(const CellModel& model, const std::vector<CellPosition>& filePositions,
                         const std::vector<int>& cells);

// The `n` cells with the most events (ties: the lower number), ascending.
std::vector<int> mostActiveCells(const ActivityTable& activity, int n);

}  // namespace cellsonify
