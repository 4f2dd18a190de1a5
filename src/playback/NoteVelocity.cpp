#include "playback/NoteVelocity.h"

#include "model/CellModel.h"
#include "playback/FrameCells.h"
#include "sound/NotePlayer.h"

#include <cmath>

namespace cellsonify {

std::string_view velocityModeName(VelocityMode mode) { return mode == VelocityMode::Strength ? "strength" : "fixed"; }

std::optional<VelocityMode> parseVelocityMode(std::string_view text) {
    if (text == "fixed") return VelocityMode::Fixed;
    if (text == "strength") return VelocityMode::Strength;
    return std::nullopt;
}

int32_t cellNoteVelocity(const CellModel& model, int cell, double position, VelocityMode mode) {
    const int32_t full = noteVelocity(position, model.FrameCount);
    if (full == 0 || mode == VelocityMode::Fixed || model.Strength.empty()) return full;
    const double peak = model.Strength.of(model.Activity, cell, nearestFrame(position));
    if (std::isnan(peak)) return full;
    return strengthVelocity(peak, model.Strength.threshold);
}

}  // namespace cellsonify
