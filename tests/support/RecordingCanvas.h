#pragma once

#include "drawing/Canvas.h"

#include <string>
#include <vector>

namespace cellsonify {

// A Canvas that keeps every call, in order, for tests and for counting work.
class RecordingCanvas : public Canvas {
public:
    enum class Op { Clear, Line, Box, Circle, FillColour, ForeColour };
    struct Call {
        Op op;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // circle: centre in x1, y1, radius in x2
        int colour = -1;                       // circle: the fore colour at the time
        int fill = -1;                         // circle: the fill colour at the time
        bool operator==(const Call&) const = default;
    };

    void clear() override;
    void line(float x1, float y1, float x2, float y2, int colour) override;
    void filledBox(float x1, float y1, float x2, float y2, int colour) override;
    void circle(float x, float y, float radius) override;
    void setFillColour(int colour) override;
    void setForeColour(int colour) override;

    std::vector<Call> calls;
    int fillColour = 0;
    int foreColour = 0;
    // Drawing calls only (lines, boxes, circles), dropping clears and colour changes.
    std::vector<Call> drawings() const;
};

}  // namespace cellsonify
