#pragma once

#include <string>

namespace cellsonify {

struct CellModel;

// The row order `name` names ("file", "position", "activity" or
// "similarity"), put on `model`. Throws std::invalid_argument naming the
// choices for any other name.
void applyOrderOption(CellModel& model, const std::string& name);

// Only the cells `numbers` lists ("1,5,9-20") sound in `model`; an empty text
// leaves every cell sounding. Throws CellNumbersError, saying what was wrong.
void applyCellsOption(CellModel& model, const std::string& numbers);

}  // namespace cellsonify
