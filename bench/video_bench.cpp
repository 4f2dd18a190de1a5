// How fast a movie of a recording renders against its own length, and that
// its memory does not grow with that length. Each benchmark run in a process
// of its own (--benchmark_filter) reports that process's peak RSS.
//   cellsonify_bench --benchmark_filter='BM_RenderMovie/0/'      the bundled example
//   cellsonify_bench --benchmark_filter='BM_RenderMovie/2000/'   generated, 100 cells
//   cellsonify_bench --benchmark_filter='BM_RenderMovie/20000/'  ten times longer
#include "BenchData.h"
#include "soundfiles/ExportSettings.h"
#include "export/MovieExport.h"
#include "model/DataFileLoader.h"
#include "model/RecordingGenerator.h"
#include "files/SafeOutput.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace cellsonify;

namespace {

namespace fs = std::filesystem;


fs::path scratch(const std::string& name) {
    return fs::temp_directory_path() / ("cellsonify-video-bench-" + std::to_string(::getpid()) + "-" + name);
}

// 0: the bundled example; otherwise a generated recording of 100 cells with that many frames.
CellModel recording(int64_t frames) {
    if (frames == 0)
        return LoadDataFile((fs::path(__FILE__).parent_path().parent_path() / "examples" / "cortex-100-cells.txt").string());
    GeneratorSettings s;
    s.cells = 100;
    s.frames = static_cast<int>(frames);
    s.seed = 5;
    const fs::path file = scratch("recording.txt");
    writeFileSafely(file.string(), generateRecording(s));
    CellModel model = LoadDataFile(file.string());
    fs::remove(file);
    return model;
}

double peakRssMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One movie at 50 ms a frame, scale 2, 2 s tail. "x_realtime" is seconds of
// movie per second of rendering; "peak_rss_mb" the process's peak so far.
void BM_RenderMovie(benchmark::State& state) {
    benchdata::ensureGuiApplication();
    const CellModel model = recording(state.range(0));
    const fs::path out = scratch("movie.mp4");
    ExportSettings settings;
    settings.tailSeconds = 2.0;  // a fixed tail, so the movie's length is known
    for (auto _ : state) {
        try {
            exportMovie(model, out.string(), settings);
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    const double movieSeconds = static_cast<double>(model.FrameCount) * 0.05 + *settings.tailSeconds;
    state.counters["x_realtime"] =
        benchmark::Counter(movieSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["movie_s"] = movieSeconds;
    state.counters["file_mb"] = static_cast<double>(fs::file_size(out)) / 1e6;
    state.counters["peak_rss_mb"] = peakRssMb();
    fs::remove(out);
}
BENCHMARK(BM_RenderMovie)->Arg(0)->Arg(2000)->Arg(20000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
