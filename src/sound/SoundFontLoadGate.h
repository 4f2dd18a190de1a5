#pragma once

#include <chrono>

namespace cellsonify {

// Keeps SoundFont loads from starting while a window opens: reading a large
// font competes with the window's own start (loading the data, the first
// paint) for a busy machine's CPU, and nobody hears anything before the
// window is up. Outputs opened meanwhile hold the notes sent to them, as they
// do during any load. Process-wide; open by default.
namespace soundFontLoadGate {

// Loads that have not begun wait from now until release(), or at most
// kLongestHold, so a window that is never painted still gets its sound.
void hold();
// Lets waiting and later loads begin at once. Any thread.
void release();
// Called by a loader before it reads the font: returns when the gate is open.
void waitUntilOpen();

inline constexpr std::chrono::milliseconds kLongestHold{2000};

}  // namespace soundFontLoadGate

}  // namespace cellsonify
