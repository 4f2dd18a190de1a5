#include "drawing/BehaviourStrip.h"

#include "drawing/Canvas.h"
#include "model/CellModel.h"
#include "model/NumberWriting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cellsonify {

const BehaviourStream* BehaviourStrip::shownStream(const CellModel& model) {
    const std::vector<BehaviourStream>& streams = model.Context.streams;
    if (streams.empty()) return nullptr;
    const auto sounding = std::find_if(streams.begin(), streams.end(), [](const BehaviourStream& s) { return s.sounds; });
    return sounding == streams.end() ? &streams.front() : &*sounding;
}

bool BehaviourStrip::shows(const CellModel& model) const { return shownStream(model) != nullptr; }

void BehaviourStrip::paint(const CellModel& model, Canvas& canvas, const StripSpan& span) const {
    canvas.clear();
    const BehaviourStream* stream = shownStream(model);
    if (!stream || span.width <= 0 || span.columns < 1) return;
    // The highest value on the last pixel row, not past it.
    const double foot = double(std::max(1, span.rows) - 1) / std::max(1, span.rows);
    const auto yOf = [&](double scaled) { return static_cast<float>((1.0 - scaled) * foot); };
    const long long last = static_cast<long long>(stream->values.size());
    const long long first = std::max(1LL, static_cast<long long>(std::floor(span.left)));
    const long long end = std::min(last, static_cast<long long>(std::ceil(span.left + span.width)));
    if (end < first) return;
    if (end - first < 2LL * span.columns) {
        // Few frames: frame to frame; a value with none after it (a file
        // that gives only some frames) is a point, so it is not lost.
        for (long long f = first; f <= end; ++f) {
            const double here = stream->scaledAt(f);
            const double next = f < end ? stream->scaledAt(f + 1) : here;
            const bool joined = f < end && !std::isnan(next);
            canvas.line(static_cast<float>(f), yOf(here), static_cast<float>(joined ? f + 1 : f), yOf(joined ? next : here),
                        kLineColour);
        }
        return;
    }
    // Many frames to a column: each column from its lowest to its highest
    // value, reaching to the last value of the column before so the line stays whole.
    const double perColumn = span.width / span.columns;
    double before = std::numeric_limits<double>::quiet_NaN();
    for (int c = 0; c < span.columns; ++c) {
        const long long from = std::max(first, static_cast<long long>(std::ceil(span.left + c * perColumn)));
        const long long to = std::min(end, static_cast<long long>(std::ceil(span.left + (c + 1) * perColumn)) - 1);
        double low = before, high = before, lastValue = std::numeric_limits<double>::quiet_NaN();
        for (long long f = from; f <= to; ++f) {
            const double v = stream->scaledAt(f);
            if (std::isnan(v)) continue;
            low = std::isnan(low) ? v : std::min(low, v);
            high = std::isnan(high) ? v : std::max(high, v);
            lastValue = v;
        }
        before = lastValue;
        if (std::isnan(lastValue)) continue;
        const float x = static_cast<float>(span.left + (c + 0.5) * perColumn);
        canvas.line(x, yOf(high), x, yOf(low), kLineColour);
    }
}

std::string BehaviourStrip::tip(const CellModel& model, double frame, double) const {
    const BehaviourStream* stream = shownStream(model);
    if (!stream) return {};
    std::string text = stream->name;
    if (!stream->how.empty()) text += " (" + stream->how + ")";
    text += ": " + numberText(stream->low, 4) + " to " + numberText(stream->high, 4);
    const long long f = std::llround(frame);
    const double v = stream->at(f);
    text += "\nframe " + std::to_string(f) + ": " + (std::isfinite(v) ? numberText(v, 4) : std::string("no value"));
    if (model.Context.streams.size() > 1) text += "\n(the stream that sounds is shown; choose it in Sound > Context)";
    return text;
}

}  // namespace cellsonify
