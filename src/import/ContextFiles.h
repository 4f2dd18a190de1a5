#pragma once

#include "model/CellModel.h"
#include "model/ContextAlignment.h"

#include <string>
#include <vector>

namespace cellsonify {

// An events side file: CSV (or TSV: a tab in the header line) with a header
// row naming the columns, any case. The start is `start_time` (also `start`,
// `onset`; seconds) or `frame` (also `start_frame`; 1-based); the stop,
// optional, `stop_time` (also `stop`, `end_time`) or `stop_frame` (also
// `end_frame`), in the start's unit. Every other column is a label; the first
// groups the intervals. The table is named after the file (without its
// extension). Throws ImportError naming the file, line and column of
// anything it cannot read.
TimedIntervals readEventsFile(const std::string& path);

// A behaviour side file: CSV or TSV with `time` (also `timestamp`,
// `timestamps`, `t`; seconds) or `frame` (1-based) and one or more value
// columns, one series each, named after its column; or a .npy array of one
// value per frame (2-D: frames x columns, one series per column). Empty
// cells are no sample. Throws ImportError naming file, line and column.
std::vector<TimedSeries> readBehaviourFile(const std::string& path);

// Reads the side files and adds what they hold to `model`'s context, aligned
// by its clock; what was left out goes to `messages`. When no stream sounds
// yet the first one does. Throws ImportError for a file that cannot be read,
// changing nothing.
void addContextFiles(CellModel& model, const std::vector<std::string>& events,
                     const std::vector<std::string>& behaviour, ContextMessages& messages);

}  // namespace cellsonify
