#pragma once

#include "model/CellModel.h"

#include <string>
#include <vector>

namespace cellsonify {

// Writes `model` as a data file that loads back into the same cells, levels,
// frames and normalised positions. `filePositions` (index = cell) are the
// positions in file units that normalise into model.CellPos, such as
// ImportSource::filePositions; they are written in the shortest form that
// reads back exactly. The file is written beside `path` under a temporary
// name and renamed at the end, so a failed write leaves nothing behind.
// Throws std::runtime_error naming the file when it cannot be written, and
// std::invalid_argument when the positions do not normalise into the model's
// or a cell's X is 0 (which would end the data).
void writeDataFile(const CellModel& model, const std::vector<CellPosition>& filePositions, const std::string& path);

}  // namespace cellsonify
