#pragma once

#include <string>

namespace cellsonify {

class Canvas;

// What playback shows on, one implementation per surface: the main window
// with its views and controls, the pictures of a pass with their widget-free
// face. The playback controller (or the pictures' own steps) decide what to
// show and when.
class PlaybackDisplay {
public:
    virtual ~PlaybackDisplay() = default;

    // The three drawing surfaces: frames x cells plot, cell map, keyboard.
    virtual Canvas& raster() = 0;
    virtual Canvas& cellMap() = 0;
    virtual Canvas& keyboard() = 0;
    // Moves the frame cursors of the raster and the frame strip to `frame`.
    virtual void moveCursors(double frame) = 0;
    // Repaints raster, frame strip and cell map from `model` (RedrawViews).
    virtual void redrawViews() = 0;
    // Paints the resting keyboard (DrawKeyboard).
    virtual void drawKeyboard() = 0;
    virtual void setStopButtonVisible(bool visible) = 0;
    // Puts `text` in the speed box. A box whose text changes reports it back
    // through PlaybackController::speedTextChanged, as a typed change does.
    virtual void showSpeedText(const std::string& text) = 0;
};

}  // namespace cellsonify
