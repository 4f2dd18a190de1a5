#include "playback/PassTick.h"

namespace cellsonify {

PassTick nextTick(double& position, int64_t frameCount, int trail) {
    position += 1.0;
    return {position, position - trail, trail, position > static_cast<double>(frameCount) - 1.0};
}

}  // namespace cellsonify
