#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace cellsonify {

// Median and population standard deviation of the finite samples of a trace,
// in double precision (the median of an even count is the mean of the two
// middle values). `finite` is 0 when the trace has no finite sample.
struct TraceStatistics {
    double median = 0;
    double std = 0;
    std::size_t finite = 0;
};
// `scratch` is working room, reused between calls to spare allocations.
TraceStatistics traceStatistics(std::span<const double> trace, std::vector<double>& scratch);

// Event onsets of a trace, as frames counted from 1: frame i + 1 where
// z[i] >= k and (i = 0 or z[i-1] < k), z = (x - median) / std. A trace with std
// 0 (or no finite sample) has none; a NaN or infinite sample never starts one.
// With `peaks`, also each event's strength: the highest finite z from its
// onset until z falls below k again (or the trace ends), one per onset.
void eventOnsets(std::span<const double> trace, double k, std::vector<double>& scratch, std::vector<int32_t>& onsets,
                 std::vector<float>* peaks = nullptr);

}  // namespace cellsonify
