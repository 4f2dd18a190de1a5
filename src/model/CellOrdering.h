#pragma once

#include "model/RowOrder.h"

#include <functional>
#include <optional>
#include <vector>

namespace cellsonify {

class ActivityTable;
struct CellModel;

// The order of `kind` for the model's cells 1..CellCount, read from the
// raster's top row down (ties keep their rows of file order):
// - File: as listed (cell 1 in the bottom row, as always).
// - Position: top to bottom of the map (smaller Y first), then left to right,
//   so the raster reads as the field of view and rows pitches rise with height.
// - Activity: most events in frames 1..FrameCount first.
// - Similarity: ascending similarityEmbedding; cells without events last.
RowOrder orderRows(const CellModel& model, RowOrderKind kind);

// Told the share of an ordering done (0..1) now and then, on the thread that
// orders; returning false stops the work.
using OrderingProgress = std::function<bool(double done)>;
// orderRows telling `progress` how far it has come; nothing when progress stops it.
std::optional<RowOrder> orderRows(const CellModel& model, RowOrderKind kind, const OrderingProgress& progress);

// Events of each cell in frames 1..lastFrame (index = cell, [0] = 0).
std::vector<int> eventCounts(const ActivityTable& activity, int cellCount, int lastFrame);

// A one-dimensional embedding of cells 1..cellCount by co-firing in frames
// 1..lastFrame: spectral seriation. Cells are joined by the cosine similarity
// of their event trains, w(i, j) = shared events / sqrt(events_i x events_j);
// the embedding is the Fiedler vector of that graph (the second eigenvector of
// D^-1/2 W D^-1/2, divided by sqrt(degree)), found by Lanczos iteration (at
// most 48 steps) with the first, known eigenvector sqrt(degree) projected out.
// Each product with W walks the frame-major event lists and never forms the
// n x n matrix, so a step costs the number of events. Cells that never fire together end
// up at separate values, so sorting by the embedding keeps groups of co-firing
// cells contiguous. Index = cell; [0] and cells without events hold NaN.
// `progress`, when given, hears of each Lanczos step; when it returns false
// the work stops and the embedding is empty.
std::vector<double> similarityEmbedding(const ActivityTable& activity, int cellCount, int lastFrame,
                                        const OrderingProgress& progress = {});

}  // namespace cellsonify
