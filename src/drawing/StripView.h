#pragma once

#include <string>

namespace cellsonify {

class Canvas;
struct CellModel;

// The frames a strip shows and the size it is painted at: the raster's
// window across (frames left .. left + width, as the raster's user scale
// has them) onto `columns` x `rows` pixels.
struct StripSpan {
    double left = 0, width = 1;
    int columns = 1, rows = 1;
};

// A strip beside the raster that shows something of the recording frame by
// frame, painted through a Canvas whose user scale is the span's frames
// across and 0 (top) .. 1 (bottom) down. One class per strip serves the
// window and every picture, so both show the same pixels.
class StripView {
public:
    virtual ~StripView() = default;
    // Whether `model` has anything for this strip; a strip with nothing takes no room.
    virtual bool shows(const CellModel& model) const = 0;
    // Clears `canvas` and paints `model` over `span`.
    virtual void paint(const CellModel& model, Canvas& canvas, const StripSpan& span) const = 0;
    // The tooltip at `frame` (user x, unrounded) and height `y` (0..1): what lies there and the legend.
    virtual std::string tip(const CellModel& model, double frame, double y) const = 0;
};

// Seconds of `frame` in words ("12.50 s") when the recording states when it
// was, through its context's clock or its rate; empty otherwise.
std::string frameSecondsText(const CellModel& model, long long frame);

}  // namespace cellsonify
