#include "model/RecordingGenerator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <vector>

namespace cellsonify {

namespace {

void append(std::string& out, long long v) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    out.append(buf, end);
}

void appendPosition(std::string& out, double v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
    (void)ec;
    out.append(buf, end);
}

}  // namespace

std::string generateRecording(const GeneratorSettings& s) {
    const int cells = std::clamp(s.cells, 1, 1500);
    const int frames = std::clamp(s.frames, 1, 100000);
    const double activity = std::clamp(s.activity, 0.0, 1.0);
    const double burstShare = std::clamp(s.burstShare, 0.0, 1.0);
    std::mt19937 rng(s.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    // Network bursts: each recruits a share of the cells around its onset frame.
    const double recruit = 0.3;
    const int burstCount = static_cast<int>(std::lround(activity * burstShare * frames / recruit));
    std::vector<int> bursts(static_cast<std::size_t>(std::max(burstCount, 0)));
    for (int& b : bursts) b = 1 + static_cast<int>(unit(rng) * frames) % frames;
    std::sort(bursts.begin(), bursts.end());

    std::string out;
    out.reserve(static_cast<std::size_t>(cells) * (24 + static_cast<std::size_t>(activity * frames * 7 + 8)));
    out += "512 512 20 1\n";
    append(out, frames);
    out += " 0 0 0\n0 0 0 0\n0 0 0 0\n";

    std::normal_distribution<double> jitter(0.0, 1.5);
    std::vector<int> list;
    for (int c = 1; c <= cells; ++c) {
        // Cells lie in clusters across the field, as in a cortical slice.
        const double cx = 40 + 432 * unit(rng), cy = 40 + 432 * unit(rng);
        const double x = std::clamp(cx + 20 * (unit(rng) - 0.5), 1.0, 511.0);
        const double y = std::clamp(cy + 20 * (unit(rng) - 0.5), 1.0, 511.0);
        const bool silent = unit(rng) < s.silentShare;
        const int level = silent ? 0 : 1 + static_cast<int>(unit(rng) * 3);

        list.clear();
        if (!silent) {
            const double spontaneous = activity * (1 - burstShare) * (0.5 + unit(rng));
            for (int f = 1; f <= frames; ++f)
                if (unit(rng) < spontaneous) list.push_back(f);
            for (int b : bursts)
                if (unit(rng) < recruit) {
                    const int f = b + static_cast<int>(std::lround(std::abs(jitter(rng))));
                    if (f >= 1 && f <= frames) list.push_back(f);
                }
            std::sort(list.begin(), list.end());
            list.erase(std::unique(list.begin(), list.end()), list.end());
        }
        append(out, c);
        out += ' ';
        appendPosition(out, x);
        out += ' ';
        appendPosition(out, y);
        out += ' ';
        append(out, level);
        out += '\n';
        for (std::size_t k = 0; k < list.size(); ++k) {
            if (k) out += ' ';
            append(out, list[k]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace cellsonify
