#include "playback/PlaybackHost.h"

#include "playback/SpeedText.h"

namespace cellsonify {

int PlaybackHost::trail() const { return trailLengthFor(speedText()); }

void applySpeedToTimer(PlaybackHost& host) {
    if (const std::optional<int> ms = timerIntervalFor(host.speedText())) host.setTimerInterval(*ms);
}

}  // namespace cellsonify
