#pragma once

#include <optional>
#include <string_view>

namespace cellsonify {

// What the SPEED box (milliseconds per frame) means for playback.

// Shortest and longest trail of blue marks behind the current frame, in frames.
inline constexpr int kShortestTrail = 1;
inline constexpr int kLongestTrail = 15;

// Frames the trail spans at `speedText`: floor(300 / speed) kept within 1..15,
// so roughly 300 ms of history stay lit. A text that rounds to 0, is not a
// number or does not fit 32 bits gives 1.
int trailLengthFor(std::string_view speedText);

// Timer intervals the playback timer takes: 0 (stopped) up to INT32_MAX ms.
bool timerAccepts(long long intervalMs);

// The timer interval `speedText` asks for (rounded half-to-even), or nothing
// when it is not a number, does not fit 32 bits or the timer refuses it; the
// caller then keeps the interval it had.
std::optional<int> timerIntervalFor(std::string_view speedText);

}  // namespace cellsonify
