#pragma once

namespace cellsonify {

// Radius of a cell's dot on the cell map, in map units, for a recording of
// `cellCount` cells: 0.01 up to 1500 cells; above that smaller, so that the
// dots together cover no more of the map than 1500 full-sized ones and a
// crowd of thousands still shows its shape rather than a grey sheet.
float cellDotRadius(int cellCount);

}  // namespace cellsonify
