#include "import/EventOnsets.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

TraceStatistics traceStatistics(std::span<const double> trace, std::vector<double>& scratch) {
    scratch.clear();
    double sum = 0;
    for (double v : trace)
        if (std::isfinite(v)) {
            scratch.push_back(v);
            sum += v;
        }
    TraceStatistics s;
    s.finite = scratch.size();
    if (s.finite == 0) return s;
    const double n = static_cast<double>(s.finite);
    const double mean = sum / n;
    double squares = 0;
    for (double v : scratch) squares += (v - mean) * (v - mean);
    s.std = std::sqrt(squares / n);

    const std::size_t half = s.finite / 2;
    std::nth_element(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(half), scratch.end());
    const double upper = scratch[half];
    if (s.finite % 2 == 1) {
        s.median = upper;
    } else {
        // nth_element leaves the lower half before `half`: its largest is the other middle value.
        const double lower = *std::max_element(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(half));
        s.median = (lower + upper) / 2;
    }
    return s;
}

void eventOnsets(std::span<const double> trace, double k, std::vector<double>& scratch, std::vector<int32_t>& onsets,
                 std::vector<float>* peaks) {
    onsets.clear();
    if (peaks) peaks->clear();
    const TraceStatistics s = traceStatistics(trace, scratch);
    if (s.finite == 0 || !(s.std > 0) || !std::isfinite(s.std)) return;
    bool previousBelow = true;  // z[i-1] < k, taken as true before the first frame
    bool inEvent = false;       // since the latest onset z has not fallen below k
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const double x = trace[i];
        const double z = (x - s.median) / s.std;
        const bool above = z >= k;
        if (above && previousBelow && std::isfinite(x)) {
            onsets.push_back(static_cast<int32_t>(i + 1));
            if (peaks) peaks->push_back(static_cast<float>(z));
            inEvent = true;
        } else if (z < k) {
            inEvent = false;
        } else if (peaks && inEvent && std::isfinite(z)) {
            // NaN samples inside a transient neither end nor raise it.
            peaks->back() = std::max(peaks->back(), static_cast<float>(z));
        }
        previousBelow = z < k;
    }
}

}  // namespace cellsonify
