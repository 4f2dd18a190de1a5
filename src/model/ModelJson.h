#pragma once

#include "model/CellModel.h"

#include <functional>
#include <ostream>
#include <string>

namespace cellsonify {

// Members a source knows beyond the model: `afterFrameCount` follows
// "frame_count", and perCell(c) (when set) follows cell c's "cell"; each
// starts with ", ". Empty, the output is exactly the model's.
struct JsonExtraFields {
    std::string afterFrameCount;
    std::function<std::string(int cell)> perCell;
};

// The model as one JSON object: `caption` (the one its opener gave it),
// cell_count, frame_count and per cell its number, normalised x and y
// (shortest text that reads back exactly), level, MIDI note (the rows rule's
// for the row the model's order gives it) and every frame the file listed
// (ascending, no repeats).
std::string modelToJson(const CellModel& model, const std::string& caption, const JsonExtraFields& extra = {});
// The same JSON written to `stream` as it is made, a few kilobytes at a time.
void writeModelJson(std::ostream& stream, const CellModel& model, const std::string& caption,
                    const JsonExtraFields& extra = {});

// `text` as a JSON string, quotes included.
std::string jsonString(const std::string& text);
// `value` as the shortest JSON number that reads back exactly.
std::string jsonNumber(double value);

}  // namespace cellsonify
