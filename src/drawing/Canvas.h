#pragma once

namespace cellsonify {

// The drawing operations every view offers, in the view's user coordinates
// (single precision; x to the right, y downwards from the scale's origin).
// The redraw, the keyboard and the frame stepper draw only through this, so the
// same code paints a widget, an offscreen image or a recording canvas in a test.
class Canvas {
public:
    virtual ~Canvas() = default;
    // Erases every drawing to the background colour (overlay lines stay).
    virtual void clear() = 0;
    // Segment from (x1, y1) to (x2, y2), both ends included, in palette `colour`.
    virtual void line(float x1, float y1, float x2, float y2, int colour) = 0;
    // A mark going back to rest: the same segment as it shows when nothing
    // plays. A canvas that keeps no resting picture draws it in `colour`.
    virtual void restLine(float x1, float y1, float x2, float y2, int colour) { line(x1, y1, x2, y2, colour); }
    // Rectangle with corners (x1, y1) and (x2, y2), outline and inside in `colour`.
    virtual void filledBox(float x1, float y1, float x2, float y2, int colour) = 0;
    // Circle at (x, y), radius in horizontal units: outline in the fore colour,
    // inside in the fill colour.
    virtual void circle(float x, float y, float radius) = 0;
    virtual void setFillColour(int colour) = 0;
    virtual void setForeColour(int colour) = 0;
};

}  // namespace cellsonify
