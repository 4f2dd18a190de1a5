#include "drawing/IntervalStrip.h"

#include "drawing/Canvas.h"
#include "model/CellModel.h"
#include "model/TrialSteps.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

const char* IntervalStrip::colourName(int group) {
    static constexpr std::array<const char*, 8> kNames{"blue", "red", "green", "magenta", "olive", "teal", "maroon", "navy"};
    return kNames[static_cast<std::size_t>(group) % kNames.size()];
}

bool IntervalStrip::shows(const CellModel& model) const {
    return std::any_of(model.Context.tables.begin(), model.Context.tables.end(),
                       [](const IntervalTable& t) { return !t.rows.empty(); });
}

void IntervalStrip::paint(const CellModel& model, Canvas& canvas, const StripSpan& span) const {
    canvas.clear();
    const std::vector<IntervalTable>& tables = model.Context.tables;
    if (tables.empty()) return;
    const double lane = 1.0 / static_cast<double>(tables.size());
    // A lane ends half a pixel above the next, so lanes never share a row.
    const double gap = 0.5 / std::max(1, span.rows);
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const float top = static_cast<float>(lane * static_cast<double>(t));
        const float bottom = static_cast<float>(lane * static_cast<double>(t + 1) - gap);
        for (const ContextInterval& row : tables[t].rows) {
            if (row.stopFrame < span.left || row.startFrame > span.left + span.width) continue;
            const int colour = kGroupColours[static_cast<std::size_t>(row.group) % kGroupColours.size()];
            canvas.filledBox(static_cast<float>(row.startFrame), top, static_cast<float>(row.stopFrame), bottom, colour);
        }
    }
}

std::string IntervalStrip::tip(const CellModel& model, double frame, double) const {
    std::string text;
    for (const IntervalTable& table : model.Context.tables) {
        if (!text.empty()) text += '\n';
        text += table.name + ": ";
        const ContextInterval* in = intervalAt(table, frame);
        if (in) {
            text += intervalText(table, frame) + ", frames " + std::to_string(in->startFrame) + "-" +
                    std::to_string(in->stopFrame);
            if (const std::string at = frameSecondsText(model, in->startFrame); !at.empty()) text += " (from " + at + ")";
        } else {
            text += "none here";
        }
        text += "\n  colours:";
        for (std::size_t g = 0; g < table.groups.size(); ++g)
            text += std::string(g ? "," : "") + " " + colourName(static_cast<int>(g)) + " " +
                    (table.groupColumn.empty() ? table.name : table.groups[g]);
        if (table.groups.size() > kGroupColours.size()) text += " (colours repeat after 8 groups)";
    }
    return text;
}

}  // namespace cellsonify
