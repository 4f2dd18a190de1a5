#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cellsonify {

struct CellModel;

// How loud the notes are: all at full velocity (the original), or each
// event's strength as its velocity (imports; a data file has no strengths and
// stays at full velocity).
enum class VelocityMode { Fixed, Strength };

// "fixed" or "strength", as the command line and the settings spell it.
std::string_view velocityModeName(VelocityMode mode);
std::optional<VelocityMode> parseVelocityMode(std::string_view text);

// Velocity of `cell`'s note struck at playback `position`: 0 once the
// position has passed the last frame (the end of a pass), else 127 in fixed
// mode, else strengthVelocity of the event at that frame (127 when the
// recording carries no strength for it). Every pass, live and exported, asks
// this one function.
int32_t cellNoteVelocity(const CellModel& model, int cell, double position, VelocityMode mode);

}  // namespace cellsonify
