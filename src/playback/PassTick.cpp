#include "playback/PassTick.h"

namespace cellsonify {

PassTick nextTick(double& position, int64_t frameCount, int trail) {
    position += 1.0;
    return {position, position - trail, trail, position > static_cast<double>(frameCount) - 1.0};
}

std::optional<PassTick> PassTicks::next() {
    if (ended_) return std::nullopt;
    const PassTick tick = nextTick(position_, frameCount_, trail_);
    ++count_;
    ended_ = tick.passedEnd;
    return tick;
}

}  // namespace cellsonify
