#pragma once

class QImage;

namespace cellsonify {

// The picture a playback shows, moved on one tick at a time: what a movie of
// the playback films.
class PlaybackPictures {
public:
    virtual ~PlaybackPictures() = default;
    // Runs the next tick of the playback.
    virtual void tick() = 0;
    // The picture now, the same size every time. Valid until the next call.
    virtual const QImage& picture() = 0;
};

}  // namespace cellsonify
