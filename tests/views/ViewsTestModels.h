#pragma once

#include "model/CellModel.h"

#include <QImage>

#include <random>
#include <vector>

namespace viewstest {

// A model with one frame list per cell (cells numbered from 1) and, when
// given, positions; otherwise cells sit on a diagonal.
inline cellsonify::CellModel makeModel(int frameCount, const std::vector<std::vector<int>>& framesPerCell,
                                       const std::vector<cellsonify::CellPosition>& positions = {}) {
    cellsonify::CellModel m;
    m.CellCount = static_cast<int32_t>(framesPerCell.size());
    m.FrameCount = frameCount;
    cellsonify::ActivityBuilder b;
    for (const auto& frames : framesPerCell) {
        b.beginCell(1);
        for (int f : frames) b.addFrame(f);
    }
    m.Activity = b.finish();
    m.CellPos.assign(framesPerCell.size() + 1, {});
    for (std::size_t i = 1; i <= framesPerCell.size(); ++i)
        m.CellPos[i] = i - 1 < positions.size() ? positions[i - 1]
                                                : cellsonify::CellPosition{double(i) / (framesPerCell.size() + 1),
                                                                           double(i) / (framesPerCell.size() + 1)};
    return m;
}

// A random recording: each cell active in about `share` of the frames (some
// beyond the frame count), at random positions.
inline cellsonify::CellModel randomModel(int cells, int frames, double share, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::vector<int>> lists(cells);
    std::vector<cellsonify::CellPosition> pos(cells);
    const int last = std::min(frames + frames / 10 + 2, 100000);
    for (int c = 0; c < cells; ++c) {
        pos[c] = {u(rng), u(rng)};
        const int count = static_cast<int>(share * frames * (0.5 + u(rng)));
        std::uniform_int_distribution<int> f(1, last);
        for (int k = 0; k < count; ++k) lists[c].push_back(f(rng));
    }
    return makeModel(frames, lists, pos);
}

// Pixels of `image` equal to `rgb`.
inline int countColour(const QImage& image, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) | 0xFF000000u) == (rgb | 0xFF000000u);
    return n;
}

}  // namespace viewstest
