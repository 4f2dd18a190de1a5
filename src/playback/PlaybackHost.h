#pragma once

#include "playback/PlaybackDisplay.h"

#include <string>

namespace cellsonify {

// What the stepper and the transport need: a surface to show on (the
// PlaybackDisplay, the same interface the window and the pictures each
// implement once) plus the speed and the timer. The playback controller
// implements it over the window's display; the pictures of a pass over their
// own face; tests with recording canvases and event logs, so the stepper and
// the transport run with no widgets at all.
class PlaybackHost : public PlaybackDisplay {
public:
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
    // The display's speed box is the host's SPEED text.
    void showSpeedText(const std::string& text) override { setSpeedText(text); }

    // Playback timer interval in ms; 0 means stopped (the only play/stop state).
    virtual int timerInterval() const = 0;
    // Sets the interval; only values timerAccepts() approves are passed.
    virtual void setTimerInterval(int ms) = 0;
};

// Sets the timer interval from the SPEED text; keeps the current interval when
// the text gives none the timer accepts.
void applySpeedToTimer(PlaybackHost& host);

}  // namespace cellsonify
