#pragma once

#include <cstddef>
#include <vector>

namespace cellsonify {

class ActivityTable;

// How strong each event of an imported recording was: the peak z-score of its
// transient, one float per event in the activity table's own order (see
// ActivityTable::eventIndex), so a recording of millions of events carries
// them at four bytes each. A data file has none: peakZ stays empty.
struct EventStrengths {
    std::vector<float> peakZ;
    double threshold = 0;  // K the events were found at

    bool empty() const { return peakZ.empty(); }
    // Peak z of `cell`'s event at `frame`, or NaN when there is none.
    double of(const ActivityTable& activity, int cell, long long frame) const;

    bool operator==(const EventStrengths&) const = default;
};

// Velocity 40..127 of an event whose transient peaked at z = `peak` over
// threshold `k`: round(40 + 87 x min(1, (peak - k) / (2k))), so an event just
// reaching K plays at 40 and one at 3K or more at 127. A threshold of 0 or
// less gives no scale to measure by: 127.
int strengthVelocity(double peak, double k);

}  // namespace cellsonify
