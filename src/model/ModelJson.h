#pragma once

#include "model/CellModel.h"

#include <functional>
#include <string>

namespace cellsonify {

// The model as one JSON object: caption, cell_count, frame_count and per cell
// its number, normalised x and y (shortest text that reads back exactly),
// level, MIDI note and every frame the file listed (ascending, no repeats).
// `extra` adds members where a source knows more: its text follows
// "frame_count", and perCell(c) (when set) follows cell c's "cell"; each starts
// with ", ". Without it the output is exactly the above.
struct JsonExtraFields {
    std::string afterFrameCount;
    std::function<std::string(int cell)> perCell;
};
std::string modelToJson(const CellModel& model, const JsonExtraFields& extra = {});

// `text` as a JSON string, quotes included.
std::string jsonString(const std::string& text);

// `value` as the shortest JSON number that reads back exactly.
std::string jsonNumber(double value);

}  // namespace cellsonify
