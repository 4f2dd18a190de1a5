#pragma once

#include "playback/PacedTimer.h"
#include "playback/PlaybackHost.h"
#include "playback/Transport.h"

namespace cellsonify {

class MainWindow;
class MidiOutput;

// Connects the window's transport controls, speed box and views to playback:
// the window is the playback host, the paced timer drives the frame stepper,
// and notes go to the MIDI output (none: silent).
class PlaybackWiring : public PlaybackHost {
public:
    // Wires `form`'s signals; `midi` may be null. Both must outlive this.
    PlaybackWiring(MainWindow& form, MidiOutput* midi);

    Canvas& raster() override;
    Canvas& cellMap() override;
    Canvas& keyboard() override;
    void moveCursors(float frame) override;
    void playNote(int note) override;
    std::string speedText() const override;
    void setSpeedText(const std::string& text) override;
    int timerInterval() const override { return timer_.interval(); }
    void setTimerInterval(int ms) override { timer_.setInterval(ms); }
    void redrawViews() override;
    void drawKeyboard() override;
    void setStopButtonVisible(bool visible) override;

    Transport& transport() { return transport_; }
    PacedTimer& timer() { return timer_; }
    // One timer tick, as the timer runs it.
    void tick();

private:
    MainWindow& form_;
    MidiOutput* midi_;
    PacedTimer timer_;
    Transport transport_;
};

}  // namespace cellsonify
