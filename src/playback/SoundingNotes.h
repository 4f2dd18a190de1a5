#pragma once

#include "model/CellModel.h"
#include "playback/FrameCells.h"
#include "sound/NotePlayer.h"

#include <cstdint>
#include <optional>

namespace cellsonify {

// Which notes a playback step sounds, in which order and how loud. The live
// stepper and the export render both decide through these, so an exported
// recording sounds exactly as the window plays it.

// The key `cell` lights among `cellCount` cells, or nothing when its note lies
// outside 0..127 (the cell still lights on the raster and the map).
std::optional<int> keyOfCell(int cellCount, int cell);

// The cells that light when playback stands at `position`, lowest first.
FrameCells cellsLightingAt(const CellModel& model, double position);

// Calls `sound(note, velocity)` for each note the step that reached `position`
// sends: the lighting cells lowest first, unkeyed cells left out, velocity 0
// once `position` has passed the last frame.
template <class Sound>
void forEachSoundingNote(const CellModel& model, double position, Sound&& sound) {
    const int32_t velocity = noteVelocity(position, model.FrameCount);
    for (FrameCells cells = cellsLightingAt(model, position); cells.cell() != FrameCells::kDone; cells.next())
        if (const std::optional<int> key = keyOfCell(model.CellCount, cells.cell())) sound(*key, velocity);
}

}  // namespace cellsonify
