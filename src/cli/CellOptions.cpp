#include "cli/CellOptions.h"

#include "model/CellModel.h"
#include "model/CellOrdering.h"

#include <stdexcept>

namespace cellsonify {

RowOrderKind rowOrderOption(const std::string& name) {
    const std::optional<RowOrderKind> kind = parseRowOrder(name);
    if (!kind)
        throw std::invalid_argument("--order must be file, position, activity or similarity, not \"" + name + "\"");
    return *kind;
}

void applyOrderOption(CellModel& model, RowOrderKind kind) {
    model.Rows = orderRows(model, kind);
    model.touch();
}

void applyCellsOption(CellModel& model, const std::string& numbers) {
    if (numbers.empty()) return;
    try {
        for (const int cell : parseCellNumbers(numbers, model.CellCount)) model.Selection.select(cell, true);
    } catch (const CellNumbersError& e) {
        throw CellNumbersError(std::string("--cells: ") + e.what());
    }
    model.Selection.hear = HearMode::SelectedOnly;
}

}  // namespace cellsonify
