#pragma once

#include "soundfiles/ExportSettings.h"

#include <optional>
#include <string>

namespace cellsonify {

struct CellModel;
struct PlaybackPass;

// The pass every export of `model` plays: from frame 0 at the settings' speed,
// instrument, pitch mapping and note length. Throws ExportError.
PlaybackPass exportPass(const CellModel& model, const ExportSettings& settings);

// The MIDI file of `pass`: written plainly when every cell was heard as a
// note of its own, compactly (MidiEncoding) when merging, the note budget or
// the voice bound acted. Throws ExportError.
std::string passMidiBytes(const PlaybackPass& pass);

// The MIDI file an export of `model` writes: one pass of playback from frame
// 0 under the settings' pitch mapping and note length (the setup, note-ons and
// note-offs, its track ending with the pass's last tick or last note-off).
// Throws ExportError.
std::string exportMidiBytes(const CellModel& model, const ExportSettings& settings);

// Writes the MIDI file above to `path`, through a temporary name so no
// partial file is ever left; true once it is in place (`progress` is only
// told the end). Throws ExportError or, for a file that cannot be written,
// std::runtime_error; what() is ready for the user.
bool exportMidiFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                    const ExportProgress& progress = {});
// The same for `pass`, worked out beforehand by exportPass.
bool exportMidiFile(const PlaybackPass& pass, const std::string& path, const ExportProgress& progress = {});

// Writes the pass rendered through the synthesizer as WAV audio to `path`
// (see renderPassToWavFile), through a temporary name. False (and no file)
// when `progress` cancels. Throws as exportMidiFile does.
bool exportWavFile(const CellModel& model, const std::string& path, const ExportSettings& settings,
                   const ExportProgress& progress = {});
// The same for `pass`, worked out beforehand by exportPass under `settings`.
bool exportWavFile(const PlaybackPass& pass, const std::string& path, const ExportSettings& settings,
                   const ExportProgress& progress = {});

}  // namespace cellsonify
