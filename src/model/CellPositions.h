#pragma once

#include "model/CellModel.h"

namespace cellsonify {

// Maps the positions of cells 1..model.CellCount, given in the data file's
// units, onto the cell map in place, as every loader does: the range of X and
// of Y (seeded with min 500000 and max 0, the seeds taking part) is spread over
// 0.05 .. 0.05 + 1/1.1, X to the right and Y upwards; cells that all share one
// X (or one Y) go to the middle of the map.
void normaliseCellPositions(CellModel& model);

}  // namespace cellsonify
