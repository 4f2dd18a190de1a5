#include "playback/PlaybackController.h"

#include "drawing/KeyGeometry.h"
#include "playback/FrameStepper.h"
#include "playback/PlaybackDisplay.h"
#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/ReportingOutput.h"

namespace cellsonify {

PlaybackController::PlaybackController(PlaybackDisplay& display, const KeyRect& keys, MidiOutput* midi)
    : display_(display), keys_(keys), midi_(midi), timer_([this] { tick(); }), transport_(*this) {}

std::optional<std::string> PlaybackController::openSound() {
    if (midi_ && midi_->open() == 0) {
        midi_->shortMessage(programChangeMessage(0));
        return std::nullopt;
    }
    return midi_ ? lastErrorOf(*midi_) : std::string("no MIDI output");
}

void PlaybackController::replaceRecording(CellModel recording) {
    model_ = std::move(recording);
    model_.CurrentFrame = 0;
}

void PlaybackController::speedTextChanged(const std::string& text) {
    settings_.speedText = text;
    transport_.speedChanged();
}

void PlaybackController::chooseInstrument(int index) {
    settings_.instrument = index;
    const Instrument& instrument = kInstruments.at(static_cast<std::size_t>(index - 1));
    if (midi_) sendInstrument(*midi_, instrument);
    if (instrument.repaintsViews) {
        display_.drawKeyboard();
        display_.redrawViews();
    }
}

void PlaybackController::tick() {
    const int before = timer_.interval();
    inTick_ = true;
    stoppedInTick_ = false;
    StepFrame(model_, keys_, *this);
    inTick_ = false;
    // At the end of the data the tick stops the timer and restarts it from the
    // speed text. A text that gives no interval ("1e10") would leave it
    // stopped for good with the stop button still showing: keep the loop going
    // at the interval it ran at.
    if (stoppedInTick_ && timer_.interval() == 0) timer_.setInterval(before);
}

Canvas& PlaybackController::raster() { return display_.raster(); }
Canvas& PlaybackController::cellMap() { return display_.cellMap(); }
Canvas& PlaybackController::keyboard() { return display_.keyboard(); }
void PlaybackController::moveCursors(float frame) { display_.moveCursors(frame); }

void PlaybackController::playNote(int note) {
    if (midi_) cellsonify::playNote(*midi_, settings_.soundOn, model_.CurrentFrame, model_.FrameCount, note);
}

void PlaybackController::setSpeedText(const std::string& text) { display_.showSpeedText(text); }

void PlaybackController::setTimerInterval(int ms) {
    if (inTick_ && ms == 0) stoppedInTick_ = true;
    timer_.setInterval(ms);
}

void PlaybackController::redrawViews() { display_.redrawViews(); }
void PlaybackController::drawKeyboard() { display_.drawKeyboard(); }
void PlaybackController::setStopButtonVisible(bool visible) { display_.setStopButtonVisible(visible); }

}  // namespace cellsonify
