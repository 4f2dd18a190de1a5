#pragma once

#include "model/FrameClock.h"
#include "model/RecordingContext.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// A table of intervals as a file states it: times in seconds, or frame
// numbers (1-based) when `inFrames`; one label per row when a label column was read.
struct TimedIntervals {
    std::string name;
    std::vector<double> start, stop;  // no stop column: stop left empty (each interval lasts one frame)
    std::string labelColumn;
    std::vector<std::string> labels;
    bool inFrames = false;
};

// One behaviour measure as a file states it: samples at times in seconds, or
// at frame numbers (1-based) when `inFrames`.
struct TimedSeries {
    std::string name;
    std::string how;
    std::vector<double> times;
    std::vector<double> values;
    bool inFrames = false;
};

// What aligning left out: notes for what lies outside the recording, warnings
// (naming the table or series) for what was wrong.
struct ContextMessages {
    std::vector<std::string> notes;
    std::vector<std::string> warnings;
};

// Kinds of percussion sound a table's groups are told apart by; groups beyond share.
inline constexpr int kDistinctGroupSounds = 8;

// The table in the frames of a recording of `frameCount` frames timed by
// `clock`. Rows with a time that is not a number or infinite, or a stop
// before the start, are left out with a warning; columns of unequal length
// are cut to the shortest with a warning; rows starting before the first or
// after the last frame are left out with a note. Nothing when no row is left.
// An interval stopping after the recording runs to its last frame, unheard at its end.
bool alignIntervals(const TimedIntervals& table, const FrameClock& clock, int32_t frameCount,
                    std::vector<IntervalTable>& into, ContextMessages& messages);

// The series resampled to one value per frame: the mean of the samples in the
// frame's span, else the line between the samples either side at its start;
// NaN outside the samples. A series whose times go backwards or repeat, or
// are not numbers, is left out with a warning; one lying wholly outside the
// recording with a note. Values that are not numbers are passed over.
bool alignSeries(const TimedSeries& series, const FrameClock& clock, int32_t frameCount,
                 std::vector<BehaviourStream>& into, ContextMessages& messages);

}  // namespace cellsonify
