#pragma once

#include <string>

namespace cellsonify {

struct CellModel;
class VoiceTable;

// What hovering `cell` tells: its number, the source's ROI number for an
// imported recording, its place on the map, its events in frames
// 1..FrameCount and the note it plays under `voices` (or why it is silent).
std::string cellTipText(const CellModel& model, const VoiceTable& voices, int cell);

}  // namespace cellsonify
