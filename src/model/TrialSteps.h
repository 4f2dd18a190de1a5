#pragma once

#include "model/RecordingContext.h"

#include <optional>
#include <string>

namespace cellsonify {

// Stepping through a table of intervals by the play position (a frame, as
// CellModel::CurrentFrame holds it; 1-based frames).

// The interval the position is in: the last one started at or before its
// frame and not yet stopped; nothing between intervals.
const ContextInterval* intervalAt(const IntervalTable& table, double position);
// The first interval starting after the position's frame; nothing after the last.
const ContextInterval* nextInterval(const IntervalTable& table, double position);
// The interval before the one the position is in (or, between intervals, the
// last one started before it); nothing before the first.
const ContextInterval* previousInterval(const IntervalTable& table, double position);

// The status line's words for the trial at the position: "trial 3 of 40 (go)"
// (the group only when the table has a group column), named after the
// table's name without a trailing "s"; empty between intervals.
std::string intervalText(const IntervalTable& table, double position);

}  // namespace cellsonify
