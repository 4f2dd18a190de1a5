#include "playback/RecordingMapping.h"

namespace cellsonify {

PitchMapping mappingForRecording(const PitchMapping& kept, const CellModel& model) {
    // A data file keeps rows, as it always has: its cells are the keyboard's.
    const bool imported = !model.SourceRoi.empty();
    if (!imported || model.CellCount <= kKeyboardKeys || kept.mode != PitchMode::Rows) return kept;
    PitchMapping every = kept;
    every.mode = PitchMode::Scale;
    return every;
}

}  // namespace cellsonify
