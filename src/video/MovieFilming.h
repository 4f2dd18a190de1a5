#pragma once

#include "files/SoundBlocks.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace cellsonify {

class PlaybackPictures;

// Renders a pass's sound from its start, handing it block by block, in order,
// to the sink; false when the sink stopped it.
using SoundRender = std::function<bool(const SoundBlockSink& sink)>;

// The playback pass a movie films.
struct MoviePass {
    int intervalMs = 50;        // between ticks; tick k (from 1) falls at k x interval
    int64_t ticks = 0;          // in the pass
    int64_t soundFrames = 0;    // the sound render is expected to give, for progress
    int scale = 2;              // each picture pixel becomes scale x scale
};

// A movie of `pass` being made, a few pictures at a time, so a caller with
// an event loop to keep turning can film between its other work. Picture k
// (at MovieTiming's rate) shows `pictures` after every tick at or before its
// time, taken only when a tick has changed it; the sound is `sound`'s, which
// runs on a thread of its own from construction on and is encoded as it
// comes; the last picture is held until the sound ends. Frame and sample
// times are exact, so the two agree within a picture over any length.
// `pictures` is used only on the caller's thread. Destroyed before it has
// finished, it stops the sound and leaves no file. Errors throw VideoError
// (or what `sound` throws), leaving no file.
class MovieFilming {
public:
    // Opens the movie's temporary file (taking the first picture for its size)
    // and starts the sound.
    MovieFilming(const std::string& path, const MoviePass& pass, PlaybackPictures& pictures, const SoundRender& sound);
    ~MovieFilming();
    MovieFilming(const MovieFilming&) = delete;
    MovieFilming& operator=(const MovieFilming&) = delete;

    // Takes up to `mostPictures` more pictures, waiting at most `mostWait` for
    // sound to film them against; true once the movie is complete and renamed
    // into place (and from then on).
    bool advance(int mostPictures, std::chrono::milliseconds mostWait);
    // Share of the pictures taken so far (0..1).
    double done() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace cellsonify
