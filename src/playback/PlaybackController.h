#pragma once

#include "model/CellModel.h"
#include "playback/PacedTimer.h"
#include "playback/PlaybackHost.h"
#include "playback/PlaybackSettings.h"
#include "playback/Transport.h"

#include <optional>
#include <string>

namespace cellsonify {

class KeyRect;
class MidiOutput;
class PlaybackDisplay;

// Owns playback: the loaded recording (read-only to everyone else) with its
// play position, the settings the window writes, the paced timer and the
// transport. The window forwards user actions here and shows what this asks
// for through PlaybackDisplay; notes go to the MIDI output (none: silent).
class PlaybackController : public PlaybackHost {
public:
    // `display`, `keys` and `midi` (may be null) must outlive this.
    PlaybackController(PlaybackDisplay& display, const KeyRect& keys, MidiOutput* midi);

    const CellModel& model() const { return model_; }
    const PlaybackSettings& settings() const { return settings_; }

    // --- what the window reports
    // Opens the MIDI output and selects program 0. Returns why there is no
    // sound (the output's own reason, or "no MIDI output") when it cannot.
    std::optional<std::string> openSound();
    // A new recording, shown from frame 0; the timer keeps running.
    void replaceRecording(CellModel recording);
    // The speed box text changed (typed, or set through showSpeedText).
    void speedTextChanged(const std::string& text);
    void soundSwitched(bool on) { settings_.soundOn = on; }
    // Instrument option `index` (1..7) was chosen: its program change, then
    // (all but "Brightness") the resting keyboard and views.
    void chooseInstrument(int index);
    void play() { transport_.play(); }
    void stop() { transport_.stop(); }
    void back() { transport_.back(model_); }
    // A press on the raster or the frame strip at `frame` (unrounded).
    void seek(double frame) { transport_.seek(model_, frame); }
    // One timer tick, as the timer runs it (StepFrame).
    void tick();

    PacedTimer& timer() { return timer_; }
    Transport& transport() { return transport_; }

    // --- PlaybackHost, for the stepper and the transport
    Canvas& raster() override;
    Canvas& cellMap() override;
    Canvas& keyboard() override;
    void moveCursors(float frame) override;
    void playNote(int note) override;
    std::string speedText() const override { return settings_.speedText; }
    void setSpeedText(const std::string& text) override;
    int timerInterval() const override { return timer_.interval(); }
    void setTimerInterval(int ms) override;
    void redrawViews() override;
    void drawKeyboard() override;
    void setStopButtonVisible(bool visible) override;

private:
    PlaybackDisplay& display_;
    const KeyRect& keys_;
    MidiOutput* midi_;
    CellModel model_;
    PlaybackSettings settings_;
    PacedTimer timer_;
    Transport transport_;
    bool inTick_ = false;
    bool stoppedInTick_ = false;  // the tick reached the end of the data and stopped the timer
};

}  // namespace cellsonify
