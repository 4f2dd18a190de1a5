#include "playback/Transport.h"

#include "model/CellModel.h"
#include "playback/NumberText.h"
#include "playback/PlaybackHost.h"
#include "playback/SpeedText.h"

namespace cellsonify {

void Transport::play() {
    host_.drawKeyboard();
    host_.redrawViews();
    applySpeedToTimer(host_);
    host_.setStopButtonVisible(true);
}

void Transport::stop() {
    host_.setTimerInterval(0);
    host_.redrawViews();
    host_.drawKeyboard();
    host_.setStopButtonVisible(false);
}

void Transport::back(CellModel& model) {
    model.CurrentFrame = 0;
    host_.moveCursors(0.0f);
    host_.redrawViews();
    host_.drawKeyboard();
}

void Transport::seek(CellModel& model, double frame) {
    model.CurrentFrame = frame;
    host_.moveCursors(static_cast<float>(frame));
    host_.redrawViews();
}

void Transport::speedChanged() {
    const bool wasPlaying = playing();
    double speed = parseNumber(host_.speedText()).value_or(0.0);
    if (speed < 0) speed = 0;
    // Writing "0" over "0" would change nothing; skipping it also keeps a host
    // that signals every write from re-entering here without end.
    if (speed == 0 && host_.speedText() != "0") host_.setSpeedText("0");
    applySpeedToTimer(host_);
    host_.drawKeyboard();
    host_.redrawViews();
    if (playing() != wasPlaying) host_.setStopButtonVisible(playing());
}

void Transport::speedSet() {
    if (playing() && timerIntervalFor(host_.speedText()).value_or(0) > 0) applySpeedToTimer(host_);
    host_.drawKeyboard();
    host_.redrawViews();
}

bool Transport::playing() const { return host_.timerInterval() != 0; }

}  // namespace cellsonify
