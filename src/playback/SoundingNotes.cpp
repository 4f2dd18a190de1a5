#include "playback/SoundingNotes.h"

namespace cellsonify {

std::optional<int> keyOfCell(int cellCount, int cell) {
    const int note = noteOfCell(cellCount, cell);
    if (note < 0 || note > 127) return std::nullopt;
    return note;
}

FrameCells cellsLightingAt(const CellModel& model, double position) {
    return FrameCells(model.Activity, nearestFrame(position), model.CellCount);
}

}  // namespace cellsonify
