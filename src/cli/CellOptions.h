#pragma once

#include "model/RowOrder.h"

#include <string>

namespace cellsonify {

struct CellModel;

// The row order `name` names ("file", "position", "activity" or
// "similarity"); throws std::invalid_argument naming the choices for any other.
RowOrderKind rowOrderOption(const std::string& name);
// Puts the row order of `kind` on `model`.
void applyOrderOption(CellModel& model, RowOrderKind kind);

// Only the cells `numbers` lists ("1,5,9-20") sound in `model`; an empty text
// leaves every cell sounding. Throws CellNumbersError, saying what was wrong.
void applyCellsOption(CellModel& model, const std::string& numbers);

}  // namespace cellsonify
