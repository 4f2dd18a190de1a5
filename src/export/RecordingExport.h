#pragma once

#include "export/ExportOptions.h"

#include <optional>
#include <string>

namespace cellsonify {

struct CellModel;

// The file an export of `model` writes: one pass of playback from frame 0
// under the settings' pitch mapping and note length as a MIDI file (the setup,
// note-ons and note-offs, its track ending with the pass's last tick or last
// note-off) or rendered
// through the synthesizer as WAV audio. Nothing when `progress` cancels.
// Throws ExportError.
std::optional<std::string> exportBytes(const CellModel& model, ExportFormat format, const ExportSettings& settings,
                                       const ExportProgress& progress = {});

// Exports `model` to `path` in the format its extension names, writing
// through a temporary name so no partial file is ever left. False (and no
// file) when `progress` cancels. Throws ExportError or, for a file that
// cannot be written, std::runtime_error; what() is ready for the user.
bool exportRecording(const CellModel& model, const std::string& path, const ExportSettings& settings,
                     const ExportProgress& progress = {});

}  // namespace cellsonify
