#pragma once

#include "model/CellModel.h"

#include <string>
#include <utility>
#include <vector>

namespace benchdata {

// The plane the voices benchmarks play: `cells` ROIs scattered over a
// 512 x 512 field imaged at 30 frames a second, each active in about 100 of
// 18,000 frames' cells at random (about 100 cells a frame at 18,000 cells),
// plus a burst every 300 frames (10 s) in which one cell in 18 (1000 of
// 18,000) fires in the same frame. Same arguments, same plane.
struct VoicesPlane {
    int cells = 18000;
    int frames = 1800;
    // The frames (1-based, ascending, no repeats) in which ROI `cell` (1-based) is active.
    std::vector<int> activeFrames(int cell) const;
    // Where ROI `cell` lies, in pixels of the 512 x 512 field (x, y).
    std::pair<int, int> pixel(int cell) const;
};

// The plane as the importer would hand it over: every active frame an event.
cellsonify::CellModel voicesPlaneModel(const VoicesPlane& plane);

// Writes the plane as a suite2p plane folder (spks.npy with 50 where active,
// iscell.npy accepting every ROI, stat.npy with each ROI's 'med') so the
// window and the command line can open it. False when a file cannot be written.
bool writeVoicesPlane(const VoicesPlane& plane, const std::string& folder);

}  // namespace benchdata
