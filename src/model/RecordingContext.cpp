#include "model/RecordingContext.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

double BehaviourStream::at(long long frame) const {
    if (frame < 1 || frame > static_cast<long long>(values.size())) return NAN;
    return values[static_cast<std::size_t>(frame - 1)];
}

double BehaviourStream::scaledAt(long long frame) const {
    const double v = at(frame);
    if (!std::isfinite(v)) return NAN;
    // A flat stream sits in the middle rather than dividing by nothing.
    if (!(high > low)) return 0.5;
    return std::clamp((v - low) / (high - low), 0.0, 1.0);
}

bool BehaviourStream::operator==(const BehaviourStream& o) const {
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    return name == o.name && how == o.how && low == o.low && high == o.high && rate == o.rate && sounds == o.sounds &&
           control == o.control && std::equal(values.begin(), values.end(), o.values.begin(), o.values.end(), same);
}

const IntervalTable* RecordingContext::trials() const {
    for (const IntervalTable& t : tables)
        if (t.name == "trials") return &t;
    return tables.empty() ? nullptr : &tables.front();
}

void RecordingContext::soundFirstStream() {
    if (streams.empty() || std::any_of(streams.begin(), streams.end(), [](const BehaviourStream& s) { return s.sounds; }))
        return;
    streams.front().sounds = true;
}

}  // namespace cellsonify
