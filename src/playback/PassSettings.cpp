#include "playback/PassSettings.h"

#include "playback/SpeedText.h"

namespace cellsonify {

void PassSettings::setSpeedText(std::string text) {
    const std::optional<int> ms = timerIntervalFor(text);
    intervalMs = ms && *ms > 0 ? *ms : 0;
    trail = trailLengthFor(text);
    speedText = std::move(text);
}

}  // namespace cellsonify
