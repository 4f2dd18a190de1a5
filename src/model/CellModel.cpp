#include "model/CellModel.h"

#include <cmath>

namespace cellsonify {

int noteOfCell(int16_t cellCount, int cell) {
    const int16_t spread = static_cast<int16_t>(127 - cellCount);
    return static_cast<int>(std::floor(spread / 2.0 + cell));
}

}  // namespace cellsonify
