#include "drawing/CellDots.h"

#include <cmath>

namespace cellsonify {

namespace {
constexpr float kFullRadius = 0.01f;
constexpr int kFullSizedCells = 1500;
}  // namespace

float cellDotRadius(int cellCount) {
    if (cellCount <= kFullSizedCells) return kFullRadius;
    return static_cast<float>(kFullRadius * std::sqrt(static_cast<double>(kFullSizedCells) / cellCount));
}

}  // namespace cellsonify
