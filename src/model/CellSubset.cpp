#include "model/CellSubset.h"

#include "model/CellPositions.h"

#include <algorithm>
#include <numeric>

namespace cellsonify {

CellSubset subsetOfCells(const CellModel& model, const std::vector<CellPosition>& filePositions,
                         const std::vector<int>& cells) {
    CellSubset part;
    CellModel& m = part.model;
    m.CellCount = static_cast<int32_t>(cells.size());
    m.FrameCount = model.FrameCount;
    m.FrameRate = model.FrameRate;
    m.DataFile = model.DataFile;
    if (!model.SourceRoi.empty()) m.SourceRoi.assign(1, 0);
    ActivityBuilder activity;
    for (const int c : cells) {
        activity.beginCell(model.Activity.level(c));
        for (const int32_t f : model.Activity.framesOf(c)) activity.addFrame(f);
        part.filePositions.push_back(filePositions[static_cast<std::size_t>(c)]);
        if (!model.SourceRoi.empty()) m.SourceRoi.push_back(model.SourceRoi[static_cast<std::size_t>(c)]);
    }
    m.Activity = activity.finish();
    m.CellPos = part.filePositions;
    normaliseCellPositions(m);
    return part;
}

std::vector<int> mostActiveCells(const ActivityTable& activity, int n) {
    std::vector<int> cells(static_cast<std::size_t>(std::max(activity.cellCount(), 0)));
    std::iota(cells.begin(), cells.end(), 1);
    const auto count = static_cast<std::size_t>(std::clamp(n, 0, activity.cellCount()));
    std::stable_sort(cells.begin(), cells.end(),
                     [&](int a, int b) { return activity.framesOf(a).size() > activity.framesOf(b).size(); });
    cells.resize(count);
    std::sort(cells.begin(), cells.end());
    return cells;
}

}  // namespace cellsonify
