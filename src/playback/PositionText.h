#pragma once

#include <string>

namespace cellsonify {

struct CellModel;

// The status line's words for where playback stands: "Frame 12 of 500", and
// when the recording states its frame rate the time that position is at in
// the recording, frame / rate, as ", 0.40 s"; within a trial (intervalText), ", trial 3 of 40 (go)".
std::string positionText(const CellModel& model);

}  // namespace cellsonify
