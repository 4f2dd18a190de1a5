#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace cellsonify {

class PlaybackPictures;

// Takes the next block of a render's sound (interleaved stereo at 44.1 kHz);
// false stops the render.
using SoundSink = std::function<bool(std::span<const float> interleaved)>;
// Renders a pass's sound from its start, handing it block by block, in order,
// to the sink; false when the sink stopped it.
using SoundRender = std::function<bool(const SoundSink& sink)>;
// Told the share of a render done so far (0..1) now and then; false cancels.
using MovieProgress = std::function<bool(double done)>;

// The playback pass a movie films.
struct MoviePass {
    int intervalMs = 50;        // between ticks; tick k (from 1) falls at k x interval
    int64_t ticks = 0;          // in the pass
    int64_t soundFrames = 0;    // the sound render is expected to give, for progress
    int scale = 2;              // each picture pixel becomes scale x scale
};

// Films `pass` into an MP4 at `path`: picture k (at MovieTiming's rate) shows
// `pictures` after every tick at or before its time, taken only when a tick
// has changed it; the sound is `sound`'s, encoded as it comes; the last
// picture is held until the sound ends. Frame and sample times are exact, so
// the two agree within a picture over any length. `sound` runs on a thread of
// its own; `pictures` and `progress` on the caller's. False, and no file, when
// `progress` cancels; throws VideoError (or what `sound` throws), leaving no file.
bool renderMovie(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures, const SoundRender& sound,
                 const MovieProgress& progress = {});

}  // namespace cellsonify
