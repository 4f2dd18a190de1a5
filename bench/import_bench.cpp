// Importing a suite2p plane of 1000 ROIs x 30000 frames (spks.npy 120 MB).
// Compare with bench/suite2p_numpy.py, the same work in NumPy:
//   hyperfine 'build/bench/cellsonify_bench --import-suite2p DIR' 'python3 bench/suite2p_numpy.py DIR'
// A plane at today's scale (20000 ROIs x 20000 frames, spks.npy 1.5 GB) is
// written once by
//   build/bench/cellsonify_bench --make-suite2p DIR 20000 20000
// and timed, with its peak memory, against the same NumPy script:
//   /usr/bin/time -v build/bench/cellsonify_bench --import-suite2p DIR
//   /usr/bin/time -v /usr/bin/python3 bench/suite2p_numpy.py DIR
// Both print the events found; they must agree (ROIS x FRAMES / 500 of them).
#include "BenchData.h"

#include "import/Importer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A plane folder with spks.npy (sparse exponential spikes), iscell.npy and a
// stat.npy pickle of 'med' lists, written once per run.
const std::string& suite2pPlane() {
    static const std::string folder = [] {
        const fs::path dir = fs::temp_directory_path() / ("cellsonify-bench-plane0-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        constexpr std::size_t rois = 1000, frames = 30000;
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> u(0, 1);
        {
            std::ofstream out(dir / "spks.npy", std::ios::binary);
            benchdata::writeNpyHeader(out, "<f4", "(1000, 30000)");
            std::vector<float> row(frames);
            for (std::size_t r = 0; r < rois; ++r) {
                for (float& v : row) v = u(rng) < 0.9f ? 0.0f : -std::log(u(rng) + 1e-6f) * 50.0f;
                out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size() * 4));
            }
        }
        {
            std::ofstream out(dir / "iscell.npy", std::ios::binary);
            benchdata::writeNpyHeader(out, "<f8", "(1000, 2)");
            for (std::size_t r = 0; r < rois; ++r) {
                const double v[2] = {r % 10 == 0 ? 0.0 : 1.0, 0.5};
                out.write(reinterpret_cast<const char*>(v), 16);
            }
        }
        {
            std::string p;
            for (std::size_t r = 0; r < rois; ++r) {
                p += std::string("}X\x03\0\0\0med](K", 12);
                p += static_cast<char>(r % 256);
                p += 'K';
                p += static_cast<char>((r * 7) % 256);
                p += "es";
            }
            benchdata::writeObjectNpy(dir / "stat.npy", "(1000,)", std::string("(K\x01M\xe8\x03\x85", 7), p);
        }
        return dir.string();
    }();
    return folder;
}

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

void BM_ImportSuite2pPlane(benchmark::State& state) {
    const std::string& dir = suite2pPlane();
    std::size_t events = 0;
    for (auto _ : state) {
        const auto r = cellsonify::importRecording(dir);
        events = r.model.Activity.eventCount();
        benchmark::DoNotOptimize(r);
    }
    state.counters["cells_x1000"] = 0.9;
    state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_ImportSuite2pPlane)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Peak memory of a fresh process that only imports the plane.
void BM_ImportPeakMemoryOfFreshProcess(benchmark::State& state) {
    const std::string& dir = suite2pPlane();
    double peak = 0;
    for (auto _ : state) {
        const std::string cmd = "/proc/" + std::to_string(::getpid()) + "/exe --import-suite2p '" + dir + "'";
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p || std::fscanf(p, "%lf", &peak) != 1) state.SkipWithError("child failed");
        if (p) ::pclose(p);
    }
    state.counters["peak_rss_MB"] = peak;
}
BENCHMARK(BM_ImportPeakMemoryOfFreshProcess)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Imports one plane (or, given "--make", writes the generated one and prints
// its folder) and prints the peak resident memory in MB and the events found.
int importSuite2pMain(const char* path) {
    if (std::string(path) == "--make") {
        std::printf("%s\n", suite2pPlane().c_str());
        return 0;
    }
    const auto r = cellsonify::importRecording(path);
    benchmark::DoNotOptimize(r);
    std::printf("%.1f %zu\n", peakRssMb(), r.model.Activity.eventCount());
    return 0;
}

// Writes a plane folder of `rois` x `frames` float32 spks in which ROI r spikes
// (to 50, else 0) at every frame f with (f + 7 r) % 500 == 0: one event per
// 500 frames per ROI, each far above 3 SD, so the import and the NumPy script
// must both find rois x frames / 500 of them (frames a multiple of 500).
int makeSuite2pMain(const char* folder, const char* roisText, const char* framesText) {
    const fs::path dir(folder);
    const std::size_t rois = std::stoul(roisText), frames = std::stoul(framesText);
    fs::create_directories(dir);
    {
        std::ofstream out(dir / "spks.npy", std::ios::binary);
        benchdata::writeNpyHeader(out, "<f4", "(" + std::to_string(rois) + ", " + std::to_string(frames) + ")");
        std::vector<float> row(frames);
        for (std::size_t r = 0; r < rois; ++r) {
            for (std::size_t f = 0; f < frames; ++f) row[f] = (f + 7 * r) % 500 == 0 ? 50.0f : 0.0f;
            out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size() * 4));
        }
        if (!out) return 1;
    }
    {
        std::ofstream out(dir / "iscell.npy", std::ios::binary);
        benchdata::writeNpyHeader(out, "<f8", "(" + std::to_string(rois) + ", 2)");
        for (std::size_t r = 0; r < rois; ++r) {
            const double v[2] = {1.0, 0.9};
            out.write(reinterpret_cast<const char*>(v), 16);
        }
    }
    std::printf("%s: %zu events expected\n", folder, rois * frames / 500);
    return 0;
}
