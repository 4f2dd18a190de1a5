#pragma once

#include "export/ExportOptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cellsonify {

class SynthEngine;
struct PlaybackPass;

// How many synthesizers an audio export renders with at once: one per
// processor core, between 1 and 4.
int exportRenderThreads();

// `count` synthesizers holding the SoundFont the window plays with (the same
// search: $CELLSONIFY_SOUNDFONT, then the system's General MIDI fonts), each
// loading only the samples of the instruments it is asked to play; throws
// ExportError saying why there is none.
std::vector<std::unique_ptr<SynthEngine>> exportSynthesizers(int count);

// Stereo frames a pass renders to: its length plus `tailSeconds` (>= 0), at
// the synthesizer's rate; throws ExportError when that is more than a WAV
// file can hold.
int64_t passAudioFrames(const PlaybackPass& pass, double tailSeconds);

// Takes the next block of a pass's sound (interleaved stereo floats, full
// scale +-1, louder passages not yet clipped); false stops the render.
using PassSoundBlock = std::function<bool(std::span<const float> interleaved)>;

// The pass rendered as renderPassAsWav renders it, handed to `take` a second
// at a time in order instead of written out: what a movie's sound streams
// from. False when `take` stopped it. Throws ExportError as passAudioFrames does.
bool renderPassSound(std::span<SynthEngine* const> engines, const PlaybackPass& pass, double tailSeconds,
                     const PassSoundBlock& take);

// The pass played as a 44.1 kHz 16-bit stereo WAV file, each message at the
// frame its time falls on, then `tailSeconds` for the last notes to ring;
// louder passages are clipped. The keys are dealt out over `engines` (fresh,
// same SoundFont), which render side by side and are summed: a key's notes
// only ever touch that key's voices and the effects are linear, so the sum
// sounds as one engine playing everything (what differs, from where each
// engine places its voices, stays about 70 dB down). Nothing when
// `progress` cancels. Throws ExportError as passAudioFrames does.
std::optional<std::string> renderPassAsWav(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                                           double tailSeconds, const ExportProgress& progress = {});

}  // namespace cellsonify
