#include "support/RecordingCanvas.h"

namespace cellsonify {

void RecordingCanvas::clear() { calls.push_back({Op::Clear}); }

void RecordingCanvas::line(float x1, float y1, float x2, float y2, int colour) {
    calls.push_back({Op::Line, x1, y1, x2, y2, colour});
}

void RecordingCanvas::filledBox(float x1, float y1, float x2, float y2, int colour) {
    calls.push_back({Op::Box, x1, y1, x2, y2, colour});
}

void RecordingCanvas::circle(float x, float y, float radius) {
    calls.push_back({Op::Circle, x, y, radius, 0, foreColour, fillColour});
}

void RecordingCanvas::setFillColour(int colour) {
    fillColour = colour;
    calls.push_back({Op::FillColour, 0, 0, 0, 0, colour});
}

void RecordingCanvas::setForeColour(int colour) {
    foreColour = colour;
    calls.push_back({Op::ForeColour, 0, 0, 0, 0, colour});
}

std::vector<RecordingCanvas::Call> RecordingCanvas::drawings() const {
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.op == Op::Line || c.op == Op::Box || c.op == Op::Circle) out.push_back(c);
    return out;
}

}  // namespace cellsonify
