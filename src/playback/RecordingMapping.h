#pragma once

#include "model/CellModel.h"
#include "playback/PitchMapping.h"

namespace cellsonify {

// The keyboard's keys: a recording of more cells than these cannot give
// each cell a key of its own under the rows mapping.
inline constexpr int kKeyboardKeys = 128;

// The mapping `model` plays with when the user kept `kept`: an import of more
// cells than the keyboard has keys plays with a scale (kept's scale, root and
// range), so every cell sounds, unless the user chose a mapping other than
// rows. The window and `render` both open a recording through it.
PitchMapping mappingForRecording(const PitchMapping& kept, const CellModel& model);

}  // namespace cellsonify
