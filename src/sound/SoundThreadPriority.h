#pragma once

#include <string_view>

namespace cellsonify {

// Gives this process's threads named `name` (Linux thread names, as in
// /proc/self/task/*/comm) first-in-first-out real-time scheduling at
// `priority` where the system allows it, and otherwise the highest niceness
// it allows. Returns how many threads got real-time scheduling.
//
// Why: the synthesizer's own audio thread runs at real-time priority, but the
// sound server's client library hands each buffer on from a thread of its own
// ("threaded-ml") at normal priority; with the processors busy that thread
// waits its turn past the buffer's length and the sound breaks up.
int raiseThreadsNamed(std::string_view name, int priority);

}  // namespace cellsonify
