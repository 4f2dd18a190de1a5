#pragma once

#include "model/FrameClock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// One interval of the experiment (a trial, an epoch, a stimulus shown), in
// the recording's frames (1-based, as the raster counts them).
struct ContextInterval {
    int32_t startFrame = 1;
    int32_t stopFrame = 1;   // >= startFrame; the last frame when the interval outlasts the recording
    bool stopInside = true;  // the stop falls inside the recording, so its end is heard
    int group = 0;           // index into the table's groups
    bool operator==(const ContextInterval&) const = default;
};

// A table of intervals ("trials", "epochs", a stimulus table), grouped by the
// values of one of its label columns.
struct IntervalTable {
    std::string name;
    std::string groupColumn;             // the column the groups come from; empty: one group
    std::vector<std::string> groups;     // labels in order of first appearance; never empty
    std::vector<ContextInterval> rows;   // ascending start frames
    bool operator==(const IntervalTable&) const = default;
};

// What a behaviour stream's value moves in the tone it drives.
enum class ToneControl { Pitch, Loudness };

// One behaviour measure (running speed, pupil area, licks) resampled to one
// value per frame.
struct BehaviourStream {
    std::string name;
    std::string how;              // how it was derived, e.g. "norm of 2 columns"; may be empty
    std::vector<double> values;   // values[frame - 1]; NaN where nothing covers the frame
    double low = 0, high = 0;     // range of the finite values
    double rate = 0;              // samples per second of the source; 0 when given per frame
    bool sounds = false;          // drives a tone
    ToneControl control = ToneControl::Pitch;

    // The value at `frame` (1-based); NaN outside the stream or where it has none.
    double at(long long frame) const;
    // The value at `frame` scaled into 0..1 by the range; NaN where it has none.
    double scaledAt(long long frame) const;
    // Equal fields, frames without a value (NaN) matching each other.
    bool operator==(const BehaviourStream& other) const;
};

// Everything known about the experiment around a recording, and how it is
// heard. Empty for a recording without it, which then plays and looks exactly
// as one never had any.
struct RecordingContext {
    std::vector<IntervalTable> tables;
    std::vector<BehaviourStream> streams;
    bool intervalsSound = true;  // each interval start plays its group's percussion sound
    bool endsSound = true;       // ... and each end a softer one
    // When each frame began, in the seconds the experiment is timed in; not
    // known for a recording that states no rate.
    FrameClock clock;

    bool empty() const { return tables.empty() && streams.empty(); }
    // The first table named "trials", else the first table; null when none.
    const IntervalTable* trials() const;
    // Lets the first stream drive a tone when none does yet.
    void soundFirstStream();
    bool operator==(const RecordingContext&) const = default;
};

}  // namespace cellsonify
