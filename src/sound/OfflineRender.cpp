#include "sound/OfflineRender.h"

#include <algorithm>

namespace cellsonify {

std::vector<float> renderMessages(SynthEngine& engine, std::span<const TimedMessage> messages,
                                  int64_t totalFrames) {
    totalFrames = std::max<int64_t>(totalFrames, 0);
    std::vector<float> out(static_cast<std::size_t>(totalFrames) * SynthEngine::kChannels);
    // FluidSynth takes an int frame count; render long stretches in slices.
    constexpr int64_t kSlice = 1 << 16;
    int64_t position = 0;
    std::size_t next = 0;
    while (position < totalFrames) {
        while (next < messages.size() && messages[next].frame <= position) {
            engine.apply(messages[next].message);
            ++next;
        }
        int64_t until = totalFrames;
        if (next < messages.size()) {
            until = std::min(until, messages[next].frame);
        }
        until = std::min(until, position + kSlice);
        engine.render(out.data() + position * SynthEngine::kChannels,
                      static_cast<int>(until - position));
        position = until;
    }
    for (; next < messages.size(); ++next) {
        engine.apply(messages[next].message);
    }
    return out;
}

int64_t framesForSeconds(double seconds) {
    return static_cast<int64_t>(seconds * SynthEngine::kSampleRate);
}

}  // namespace cellsonify
