#include "sound/SoundFontLoadGate.h"

#include <condition_variable>
#include <mutex>

namespace cellsonify::soundFontLoadGate {

namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool held = false;
    std::chrono::steady_clock::time_point until;
};

Gate& gate() {
    static Gate instance;
    return instance;
}

}  // namespace

void hold() {
    Gate& g = gate();
    std::lock_guard lock(g.mutex);
    g.held = true;
    g.until = std::chrono::steady_clock::now() + kLongestHold;
}

void release() {
    Gate& g = gate();
    {
        std::lock_guard lock(g.mutex);
        g.held = false;
    }
    g.opened.notify_all();
}

void waitUntilOpen() {
    Gate& g = gate();
    std::unique_lock lock(g.mutex);
    g.opened.wait_until(lock, g.until, [&g] { return !g.held; });
}

}  // namespace cellsonify::soundFontLoadGate
