#include "model/CellPositions.h"

#include <cmath>

namespace cellsonify {

namespace {

constexpr double kSeedMin = 500000;  // range seeds; they take part in the range
constexpr double kSeedMax = 0;

// Where v lies between lo and hi, 0..1. Positions far apart (-1e308 and 1e308)
// have a spread beyond double range; halving every term keeps it finite, and
// the result is the same wherever the plain form does not overflow.
double share(double v, double lo, double hi) {
    if (std::isfinite(hi - lo)) return (v - lo) / (hi - lo);
    return (v / 2 - lo / 2) / (hi / 2 - lo / 2);
}

}  // namespace

void normaliseCellPositions(CellModel& model) {
    double minX = kSeedMin, maxX = kSeedMax, minY = kSeedMin, maxY = kSeedMax;
    for (int c = 1; c <= model.CellCount; ++c) {
        const CellPosition& p = model.CellPos[c];
        if (p.X > maxX) maxX = p.X;
        if (p.X < minX) minX = p.X;
        if (p.Y > maxY) maxY = p.Y;
        if (p.Y < minY) minY = p.Y;
    }
    // Cells that all share one X (or one Y) have no spread to scale by: they go
    // to the middle of the map rather than dividing by zero.
    for (int c = 1; c <= model.CellCount; ++c) {
        CellPosition& p = model.CellPos[c];
        p.X = maxX == minX ? 0.05 + 0.5 / 1.1 : share(p.X, minX, maxX) / 1.1 + 0.05;
        p.Y = maxY == minY ? 0.95 - 0.5 / 1.1 : (1 - share(p.Y, minY, maxY) / 1.1) - 0.05;
    }
}

}  // namespace cellsonify
