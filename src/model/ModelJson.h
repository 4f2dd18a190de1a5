#pragma once

#include "model/CellModel.h"

#include <ostream>
#include <string>

namespace cellsonify {

// The model as one JSON object: caption, cell_count, frame_count and per cell
// its number, normalised x and y (shortest text that reads back exactly),
// level, MIDI note and every frame the file listed (ascending, no repeats).
std::string modelToJson(const CellModel& model);
// The same JSON written to `stream` as it is made, a few kilobytes at a time.
void writeModelJson(std::ostream& stream, const CellModel& model);

}  // namespace cellsonify
