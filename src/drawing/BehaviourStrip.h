#pragma once

#include "drawing/StripView.h"

namespace cellsonify {

struct BehaviourStream;

// One behaviour stream as a line under the frame strip, its range filling
// the strip's height (low at the foot): the first stream that sounds, else
// the first stream. Where a pixel column covers several frames it shows
// their lowest to highest value, so no peak is lost at any zoom.
class BehaviourStrip : public StripView {
public:
    // The line's palette colour.
    static constexpr int kLineColour = 2;

    // The stream shown, or null.
    static const BehaviourStream* shownStream(const CellModel& model);

    bool shows(const CellModel& model) const override;
    void paint(const CellModel& model, Canvas& canvas, const StripSpan& span) const override;
    // The stream's name, how it was derived, its range and its value at `frame`.
    std::string tip(const CellModel& model, double frame, double y) const override;
};

}  // namespace cellsonify
