#pragma once

#include <string>

namespace cellsonify {

class Canvas;

// What playback needs from the window around it. The main window implements
// this; tests implement it with recording canvases and event logs, so the
// stepper and the transport run with no widgets at all.
class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;

    // The three drawing surfaces: frames x cells plot, cell map, keyboard.
    virtual Canvas& raster() = 0;
    virtual Canvas& cellMap() = 0;
    virtual Canvas& keyboard() = 0;

    // Moves the frame cursors of the raster and the frame strip to `frame`.
    virtual void moveCursors(float frame) = 0;
    // Told MIDI note `note` (0..127) that a StepFrame tick strikes. The
    // window's controller sends its notes through its own PassStepper and
    // ignores this.
    virtual void playNote(int note) { (void)note; }

    // The SPEED box text (milliseconds per frame), as typed.
    virtual std::string speedText() const = 0;
    // Frames of blue trail behind the current frame, as the SPEED text gives
    // it (SpeedText.h). Hosts that keep the text parsed answer from that.
    virtual int trail() const;
    // Replaces the SPEED text. Raises the speed-change handler again only when
    // the text actually changes.
    virtual void setSpeedText(const std::string& text) = 0;

    // Playback timer interval in ms; 0 means stopped (the only play/stop state).
    virtual int timerInterval() const = 0;
    // Sets the interval; only values timerAccepts() approves are passed.
    virtual void setTimerInterval(int ms) = 0;

    // Repaints raster, frame strip and cell map from the model.
    virtual void redrawViews() = 0;
    // Repaints the resting keyboard (DrawKeyboard on the keyboard view).
    virtual void drawKeyboard() = 0;
    // Shows or hides the STOP button.
    virtual void setStopButtonVisible(bool visible) = 0;
};

// Sets the timer interval from the SPEED text; keeps the current interval when
// the text gives none the timer accepts.
void applySpeedToTimer(PlaybackHost& host);

}  // namespace cellsonify
