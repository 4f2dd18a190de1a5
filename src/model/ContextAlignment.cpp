#include "model/ContextAlignment.h"

#include "model/NumberWriting.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace cellsonify {

namespace {

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A frame number as a file gives it: a whole number inside the recording, else 0.
int32_t givenFrame(double v, int32_t frameCount) {
    if (!std::isfinite(v) || v < 1 || v > frameCount) return 0;
    return static_cast<int32_t>(std::floor(v));
}

}  // namespace

bool alignIntervals(const TimedIntervals& table, const FrameClock& clock, int32_t frameCount,
                    std::vector<IntervalTable>& into, ContextMessages& messages) {
    const std::string& name = table.name;
    if (!table.inFrames && !clock.known()) {
        messages.warnings.push_back(name + ": times are in seconds but the recording's frame times are not known; "
                                           "the table is left out (give frames instead)");
        return false;
    }
    std::size_t rows = table.start.size();
    const bool hasStop = !table.stop.empty();
    const bool hasLabels = !table.labelColumn.empty();
    if ((hasStop && table.stop.size() != rows) || (hasLabels && table.labels.size() != rows)) {
        std::size_t shortest = rows;
        if (hasStop) shortest = std::min(shortest, table.stop.size());
        if (hasLabels) shortest = std::min(shortest, table.labels.size());
        messages.warnings.push_back(name + ": columns of unequal length (start " + std::to_string(rows) +
                                    (hasStop ? ", stop " + std::to_string(table.stop.size()) : "") +
                                    (hasLabels ? ", " + table.labelColumn + " " + std::to_string(table.labels.size())
                                               : "") +
                                    "); only the first " + std::to_string(shortest) + " rows are read");
        rows = shortest;
    }
    IntervalTable out;
    out.name = name;
    out.groupColumn = table.labelColumn;
    std::map<std::string, int> groupOf;
    std::size_t notNumbers = 0, backwards = 0, outside = 0;
    for (std::size_t r = 0; r < rows; ++r) {
        const double start = table.start[r];
        const double stop = hasStop ? table.stop[r] : start;
        if (!std::isfinite(start) || !std::isfinite(stop)) {
            ++notNumbers;
            continue;
        }
        if (stop < start) {
            ++backwards;
            continue;
        }
        ContextInterval interval;
        int32_t last = 0;
        if (table.inFrames) {
            interval.startFrame = givenFrame(start, frameCount);
            last = givenFrame(stop, frameCount);
        } else {
            interval.startFrame = std::min(clock.frameAt(start), frameCount);
            last = std::min(clock.frameAt(stop), frameCount);
        }
        if (interval.startFrame < 1) {
            ++outside;
            continue;
        }
        interval.stopInside = last >= 1;
        interval.stopFrame = interval.stopInside ? last : frameCount;
        const std::string label = hasLabels ? table.labels[r] : std::string();
        const auto [it, added] = groupOf.emplace(label, static_cast<int>(out.groups.size()));
        if (added) out.groups.push_back(label);
        interval.group = it->second;
        out.rows.push_back(interval);
    }
    if (notNumbers > 0)
        messages.warnings.push_back(name + ": " +
                                    plural(notNumbers, "row has a time that is not a finite number",
                                           "rows have times that are not finite numbers") +
                                    "; left out");
    if (backwards > 0)
        messages.warnings.push_back(name + ": " + plural(backwards, "row stops", "rows stop") +
                                    " before it starts; left out");
    if (outside > 0)
        messages.notes.push_back(name + ": " + plural(outside, "interval starts", "intervals start") +
                                 " before the first or after the last frame; left out");
    if (out.rows.empty()) return false;
    if (out.groups.size() > static_cast<std::size_t>(kDistinctGroupSounds))
        messages.notes.push_back(name + ": " + std::to_string(out.groups.size()) + " groups of " + out.groupColumn +
                                 "; groups beyond the first " + std::to_string(kDistinctGroupSounds) +
                                 " share their sounds");
    std::stable_sort(out.rows.begin(), out.rows.end(),
                     [](const ContextInterval& a, const ContextInterval& b) { return a.startFrame < b.startFrame; });
    into.push_back(std::move(out));
    return true;
}

bool alignSeries(const TimedSeries& series, const FrameClock& clock, int32_t frameCount,
                 std::vector<BehaviourStream>& into, ContextMessages& messages) {
    const std::string& name = series.name;
    if (series.times.size() != series.values.size()) {
        messages.warnings.push_back(name + ": " + std::to_string(series.times.size()) + " times but " +
                                    std::to_string(series.values.size()) + " values; the series is left out");
        return false;
    }
    if (series.times.empty()) {
        messages.warnings.push_back(name + ": no samples; the series is left out");
        return false;
    }
    if (!series.inFrames && !clock.known()) {
        messages.warnings.push_back(name + ": times are in seconds but the recording's frame times are not known; "
                                           "the series is left out (give frames instead)");
        return false;
    }
    for (std::size_t i = 0; i < series.times.size(); ++i) {
        if (!std::isfinite(series.times[i])) {
            messages.warnings.push_back(name + ": time " + std::to_string(i + 1) +
                                        " is not a finite number; the series is left out");
            return false;
        }
        if (i > 0 && !(series.times[i] > series.times[i - 1])) {
            messages.warnings.push_back(name + ": times " + (series.times[i] == series.times[i - 1] ? "repeat" : "go backwards") +
                                        " at sample " + std::to_string(i + 1) + " (" + numberText(series.times[i - 1], 10) +
                                        " then " + numberText(series.times[i], 10) + "); the series is left out");
            return false;
        }
    }
    BehaviourStream out;
    out.name = name;
    out.how = series.how;
    out.values.assign(static_cast<std::size_t>(std::max(frameCount, 0)), NAN);
    const std::vector<double>& t = series.times;
    const std::vector<double>& v = series.values;
    if (series.inFrames) {
        std::vector<double> sum(out.values.size(), 0.0), count(out.values.size(), 0.0);
        for (std::size_t i = 0; i < t.size(); ++i)
            if (const int32_t f = givenFrame(t[i], frameCount); f >= 1 && std::isfinite(v[i])) {
                sum[static_cast<std::size_t>(f - 1)] += v[i];
                count[static_cast<std::size_t>(f - 1)] += 1;
            }
        for (std::size_t f = 0; f < out.values.size(); ++f)
            if (count[f] > 0) out.values[f] = sum[f] / count[f];
    } else {
        if (t.size() >= 2) out.rate = static_cast<double>(t.size() - 1) / (t.back() - t.front());
        std::size_t i = 0;  // first sample not before the frame's start
        for (int32_t f = 1; f <= std::min(frameCount, clock.frames()); ++f) {
            const double begin = clock.startOf(f), end = clock.endOf(f);
            while (i < t.size() && t[i] < begin) ++i;
            double sum = 0;
            int count = 0;
            for (std::size_t j = i; j < t.size() && t[j] < end; ++j)
                if (std::isfinite(v[j])) {
                    sum += v[j];
                    ++count;
                }
            double value = NAN;
            if (count > 0)
                value = sum / count;
            else if (i > 0 && i < t.size() && std::isfinite(v[i - 1]) && std::isfinite(v[i]))
                value = v[i - 1] + (v[i] - v[i - 1]) * (begin - t[i - 1]) / (t[i] - t[i - 1]);
            out.values[static_cast<std::size_t>(f - 1)] = value;
        }
    }
    bool any = false;
    for (double x : out.values) {
        if (!std::isfinite(x)) continue;
        out.low = any ? std::min(out.low, x) : x;
        out.high = any ? std::max(out.high, x) : x;
        any = true;
    }
    if (!any) {
        messages.notes.push_back(name + ": no sample falls inside the recording's frames; left out");
        return false;
    }
    into.push_back(std::move(out));
    return true;
}

}  // namespace cellsonify
