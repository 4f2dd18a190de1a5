#pragma once

#include <string>

class QImage;

namespace cellsonify {

// Writes `picture` enlarged `scale` (>= 1) times, each pixel a scale x scale
// block, as a PNG file at `path`, through a temporary name beside it so no
// partial file is ever left; throws VideoError naming the file.
void writePicture(const std::string& path, const QImage& picture, int scale);

}  // namespace cellsonify
