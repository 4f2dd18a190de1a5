#include "model/TrialSteps.h"

#include <cmath>

namespace cellsonify {

namespace {

long long frameOf(double position) { return static_cast<long long>(std::llround(position)); }

}  // namespace

const ContextInterval* intervalAt(const IntervalTable& table, double position) {
    const long long frame = frameOf(position);
    const ContextInterval* found = nullptr;
    for (const ContextInterval& row : table.rows) {
        if (row.startFrame > frame) break;
        if (row.stopFrame >= frame) found = &row;
    }
    return found;
}

const ContextInterval* nextInterval(const IntervalTable& table, double position) {
    const long long frame = frameOf(position);
    for (const ContextInterval& row : table.rows)
        if (row.startFrame > frame) return &row;
    return nullptr;
}

const ContextInterval* previousInterval(const IntervalTable& table, double position) {
    const ContextInterval* in = intervalAt(table, position);
    const long long before = in ? in->startFrame : frameOf(position) + 1;
    const ContextInterval* found = nullptr;
    for (const ContextInterval& row : table.rows) {
        if (row.startFrame >= before) break;
        found = &row;
    }
    return found;
}

std::string intervalText(const IntervalTable& table, double position) {
    const ContextInterval* in = intervalAt(table, position);
    if (!in) return {};
    std::string kind = table.name;
    if (kind.size() > 1 && kind.back() == 's') kind.pop_back();
    std::string text = kind + " " + std::to_string(in - table.rows.data() + 1) + " of " + std::to_string(table.rows.size());
    if (!table.groupColumn.empty()) text += " (" + table.groups.at(static_cast<std::size_t>(in->group)) + ")";
    return text;
}

}  // namespace cellsonify
