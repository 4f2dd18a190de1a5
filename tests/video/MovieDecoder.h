#pragma once

#include <QImage>

#include <string>
#include <vector>

namespace videotest {

// A movie file read back with FFmpeg's decoders, independently of the writer.
struct DecodedMovie {
    std::string videoCodec, pixelFormat, audioCodec;
    int width = 0, height = 0;
    int sampleRate = 0, channels = 0;
    double frameRate = 0;          // the video stream's average, pictures per second
    double seconds = 0;            // the file's duration
    std::vector<QImage> pictures;  // every decoded picture in order, as RGB32
    std::vector<float> sound;      // interleaved, full scale +-1
};

// Decodes all of `path`; a file FFmpeg cannot read fails the calling test.
DecodedMovie decodeMovie(const std::string& path);

// Whether the movie's index ("moov") comes before its data ("mdat"), so it
// plays while it downloads.
bool indexBeforeData(const std::string& path);

}  // namespace videotest
