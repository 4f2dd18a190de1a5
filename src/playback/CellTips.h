#pragma once

#include "model/CellModel.h"

#include <string>
#include <vector>

namespace cellsonify {

class VoiceTable;

// What hovering `cell` tells: its number, the source's ROI number for an
// imported recording, its place (in the source image's pixels when
// `sourcePixels` holds it: index = cell, X = column, Y = row; else on the
// map, 0 to 1), its events in frames 1..FrameCount and the note it plays
// under `voices` (or why it is silent).
std::string cellTipText(const CellModel& model, const VoiceTable& voices, int cell,
                        const std::vector<CellPosition>& sourcePixels = {});

}  // namespace cellsonify
