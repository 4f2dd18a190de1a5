#pragma once

#include "files/SoundBlocks.h"
#include "soundfiles/ExportSettings.h"

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

// Without a tail length the audio runs on after the last tick until it has
// fallen below kQuietLevel (-60 dBFS), for at most kLongestQuietTail seconds.
inline constexpr float kQuietLevel = 0.001f;
inline constexpr double kLongestQuietTail = 10.0;
// Every file ends with a fade this long (or as long as the file, if shorter),
// so a note still ringing stops without a click.
inline constexpr double kEndFadeSeconds = 0.05;

// Most stereo frames a pass renders to: its length plus `tailSeconds` (>= 0;
// none: kLongestQuietTail), at the synthesizer's rate; throws ExportError when
// that is more than a WAV file can hold.
int64_t passAudioFrames(const PlaybackPass& pass, std::optional<double> tailSeconds);

// The pass's sound exactly as renderPassToWavFile writes it (limited, with
// its tail and end fade), handed to `take` in order, about a second at a time:
// what the WAV file and a movie's sound track both take. False when `take` or
// `progress` stopped it. Throws ExportError as passAudioFrames does.
bool renderPassSound(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                     std::optional<double> tailSeconds, const SoundBlockSink& take,
                     const ExportProgress& progress = {});

// Writes the pass played as a 44.1 kHz 16-bit stereo WAV file to `path`
// (through a temporary name, as it renders): each message at the frame its
// time falls on, then `tailSeconds` of tail, or with none until the sound
// has died away (see kQuietLevel), ending in a fade. The sound passes through
// the live output's OutputLimiter, so loud passages are limited, not
// clipped. The keys are dealt out over `engines` (fresh, same SoundFont),
// which render side by side and are summed: a key's notes only ever touch
// that key's voices and the effects are linear, so the sum sounds as one
// engine playing everything (what differs, from where each engine places its
// voices, stays about 70 dB down). False, and no file, when `progress`
// cancels. Throws ExportError as passAudioFrames does, std::runtime_error
// naming the file when it cannot be written.
bool renderPassToWavFile(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                         std::optional<double> tailSeconds, const std::string& path,
                         const ExportProgress& progress = {});

}  // namespace cellsonify
