#pragma once

#include "drawing/StripView.h"

#include <array>

namespace cellsonify {

// The experiment's intervals (trials, epochs, stimuli) as bands above the
// raster: one lane per table, top to bottom in the tables' order, each
// interval a band from its start frame to its stop frame in its group's colour.
class IntervalStrip : public StripView {
public:
    // Palette colours of the groups, in the groups' order; more groups share them.
    static constexpr std::array<int, 8> kGroupColours{9, 12, 2, 13, 6, 3, 4, 1};
    // The colour's name as the legend gives it.
    static const char* colourName(int group);

    bool shows(const CellModel& model) const override;
    void paint(const CellModel& model, Canvas& canvas, const StripSpan& span) const override;
    // Per table: the interval at `frame` ("trial 3 of 40 (go), frames 120-180")
    // or "none here", then the legend of its groups' colours.
    std::string tip(const CellModel& model, double frame, double y) const override;
};

}  // namespace cellsonify
