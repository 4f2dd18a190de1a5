#include "VoicesPlane.h"

#include "BenchData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>

namespace benchdata {

namespace {

constexpr double kCellsActiveAFrame = 100.0 / 18000.0;
constexpr int kBurstEvery = 300;
constexpr int kBurstRecruitsOneIn = 18;

// A small integer hash, so a cell's place and burst membership need no state.
uint32_t mix(uint32_t a, uint32_t b) {
    uint64_t h = (static_cast<uint64_t>(a) << 32 | b) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return static_cast<uint32_t>(h >> 32);
}

// A pickled int: K (one byte) or M (two, little-endian).
std::string pickledInt(int v) {
    if (v < 256) return std::string("K") + static_cast<char>(v);
    return std::string("M") + static_cast<char>(v & 0xFF) + static_cast<char>(v >> 8);
}

}  // namespace

std::vector<int> VoicesPlane::activeFrames(int cell) const {
    std::vector<int> out;
    std::mt19937 rng(static_cast<uint32_t>(cell) * 2654435761u + 27u);
    std::geometric_distribution<int> gap(kCellsActiveAFrame);
    for (int f = 1 + gap(rng); f <= frames; f += 1 + gap(rng)) out.push_back(f);
    for (int b = 0; b * kBurstEvery + kBurstEvery / 2 <= frames; ++b) {
        const uint32_t h = mix(static_cast<uint32_t>(cell), static_cast<uint32_t>(b));
        if (h % kBurstRecruitsOneIn != 0) continue;
        const int f = b * kBurstEvery + kBurstEvery / 2;
        if (f <= frames) out.push_back(f);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::pair<int, int> VoicesPlane::pixel(int cell) const {
    const uint32_t h = mix(static_cast<uint32_t>(cell), 0xC0FFEEu);
    return {static_cast<int>(h % 512), static_cast<int>((h >> 9) % 512)};
}

cellsonify::CellModel voicesPlaneModel(const VoicesPlane& plane) {
    cellsonify::CellModel m;
    m.CellCount = plane.cells;
    m.FrameCount = plane.frames;
    m.FrameRate = 30;
    m.CellPos.assign(static_cast<std::size_t>(plane.cells) + 1, {});
    cellsonify::ActivityBuilder b;
    for (int c = 1; c <= plane.cells; ++c) {
        b.beginCell(1);
        for (int f : plane.activeFrames(c)) b.addFrame(f);
        const auto [x, y] = plane.pixel(c);
        m.CellPos[static_cast<std::size_t>(c)] = {x / 511.0, y / 511.0};
    }
    m.Activity = b.finish();
    return m;
}

bool writeVoicesPlane(const VoicesPlane& plane, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path dir(folder);
    fs::create_directories(dir);
    const std::string rois = std::to_string(plane.cells);
    {
        std::ofstream out(dir / "spks.npy", std::ios::binary);
        benchdata::writeNpyHeader(out, "<f4", "(" + rois + ", " + std::to_string(plane.frames) + ")");
        std::vector<float> row(static_cast<std::size_t>(plane.frames));
        for (int c = 1; c <= plane.cells; ++c) {
            std::fill(row.begin(), row.end(), 0.0f);
            for (int f : plane.activeFrames(c)) row[static_cast<std::size_t>(f - 1)] = 50.0f;
            out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size() * 4));
        }
        if (!out) return false;
    }
    {
        std::ofstream out(dir / "iscell.npy", std::ios::binary);
        benchdata::writeNpyHeader(out, "<f8", "(" + rois + ", 2)");
        for (int c = 0; c < plane.cells; ++c) {
            const double v[2] = {1.0, 0.9};
            out.write(reinterpret_cast<const char*>(v), 16);
        }
        if (!out) return false;
    }
    // stat.npy: an object array of dicts {'med': [y, x]}, pickled as numpy saves it.
    std::string stat;
    for (int c = 1; c <= plane.cells; ++c) {
        const auto [x, y] = plane.pixel(c);
        stat += std::string("}X\x03\0\0\0med](", 11) + pickledInt(y) + pickledInt(x) + "es";
    }
    // ops.npy: one dict, the frame rate and the field's size.
    const std::string ops = std::string("}X\x02\0\0\0fs", 8) + pickledInt(30) + "s" +
                            std::string("X\x02\0\0\0Ly", 7) + pickledInt(512) + "s" +
                            std::string("X\x02\0\0\0Lx", 7) + pickledInt(512) + "s";
    return writeObjectNpy(dir / "stat.npy", "(" + rois + ",)", "(K\x01" + pickledInt(plane.cells) + "\x85", stat) &&
           writeObjectNpy(dir / "ops.npy", "()", "(K\x01)", ops);
}

}  // namespace benchdata
