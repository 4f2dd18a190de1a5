#pragma once

#include "video/PixelView.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace cellsonify {

// The shape of a movie: the pictures given and how much they are enlarged.
struct MovieFormat {
    int width = 0;   // of each picture given, in pixels
    int height = 0;
    int scale = 1;   // each picture pixel becomes scale x scale movie pixels
    int fps = 30;    // pictures per second
};

// Writes an MP4 movie as it is made: H.264 pictures (yuv420p) and AAC sound
// (44.1 kHz stereo), indexed at the front so it plays while it downloads.
// Pictures and sound may be added in any interleaving; only a second or so of
// either is ever held. The movie is written under a temporary name beside the
// target and renamed into place by finish(); a writer destroyed unfinished,
// or one that fails, leaves no file behind. Errors throw VideoError.
class Mp4Writer {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    // Opens the temporary file and both encoders; `format` needs sides and a
    // scale of at least 1 and fps from 1 to 60.
    Mp4Writer(const std::string& path, const MovieFormat& format);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer&) = delete;
    Mp4Writer& operator=(const Mp4Writer&) = delete;

    // Movie picture size: the scaled picture, one pixel longer where odd, as
    // yuv420p needs even sides (the last column or row repeats).
    int movieWidth() const;
    int movieHeight() const;

    // The next picture, `format.width` x `format.height`, shown 1 / fps s.
    void addPicture(const PixelView& picture);
    // The previous picture once more, costing no conversion.
    void repeatPicture();
    // The next stretch of sound, interleaved left/right; full scale is +-1 and
    // louder samples are clipped.
    void addSound(std::span<const float> interleaved);
    // The same from 16-bit samples (full scale 32768).
    void addSound(std::span<const int16_t> interleaved);

    int64_t picturesAdded() const;
    int64_t soundFramesAdded() const;

    // Encodes what is still held, completes the file and renames it into place.
    void finish();

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace cellsonify
