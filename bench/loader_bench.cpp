#include "BenchData.h"

#include "model/DataFileLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Loads the largest recording the model allows, straight from the page cache.
void BM_LoadLargestRecording(benchmark::State& state) {
    const std::string& path = benchdata::largeRecordingPath();
    std::size_t events = 0;
    for (auto _ : state) {
        auto model = cellsonify::LoadDataFile(path);
        events = model.Activity.eventCount();
        benchmark::DoNotOptimize(model);
    }
    state.counters["events"] = static_cast<double>(events);
    state.counters["file_MB"] = std::filesystem::file_size(path) / 1e6;
}
BENCHMARK(BM_LoadLargestRecording)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// For scale: only reading the same bytes.
void BM_ReadFileOnly(benchmark::State& state) {
    const std::string& path = benchdata::largeRecordingPath();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(std::filesystem::file_size(path), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMillisecond);

// Peak memory of a fresh process that only loads the file: the figure a user
// sees, without the benchmark's own generation buffers.
void BM_LoadPeakMemoryOfFreshProcess(benchmark::State& state) {
    const std::string& path = benchdata::largeRecordingPath();
    double peak = 0;
    for (auto _ : state) {
        const std::string cmd = "/proc/" + std::to_string(::getpid()) + "/exe --load-peak '" + path + "'";
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p || std::fscanf(p, "%lf", &peak) != 1) state.SkipWithError("child failed");
        if (p) ::pclose(p);
    }
    state.counters["peak_rss_MB"] = peak;
}
BENCHMARK(BM_LoadPeakMemoryOfFreshProcess)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Child mode of the memory benchmark: load FILE, print the peak RSS in MB.
int loadPeakMain(const char* path) {
    auto model = cellsonify::LoadDataFile(path);
    benchmark::DoNotOptimize(model);
    std::printf("%.1f\n", peakRssMb());
    return 0;
}
