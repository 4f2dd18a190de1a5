#pragma once

#include <optional>
#include <string>

namespace cellsonify {

// Playing a recording at the pace it was imaged at, or a multiple of it.

// Milliseconds per frame that play `framesPerSecond` x `times` frames a
// second: round(1000 / (fs x times)), at least 1. Nothing when the rate is
// not known (0, negative, not a number) or `times` is not positive.
std::optional<int> realTimeInterval(double framesPerSecond, double times = 1);

// How many times the recording's own pace a speed text asks for: 1 for
// "realtime", N for "xN"; nothing for milliseconds. Throws as below for an
// "x" not followed by a positive number.
std::optional<double> recordingTimeFactor(const std::string& request);

// The speed text a request names for a recording imaged at `framesPerSecond`:
// "realtime" is realTimeInterval's milliseconds, "xN" (N a positive number,
// "x4") N times that pace; any other text is milliseconds already and comes
// back unchanged. Throws std::invalid_argument, saying why, for "realtime"
// or "xN" when the rate is not known or gives an interval out of range, or an
// "x" not followed by a positive number.
std::string resolveSpeedText(const std::string& request, double framesPerSecond);

}  // namespace cellsonify
