// Real-clock tempo of the playback timer: the mean period over thousands of
// ticks against the interval set, each tick a full-size playback tick. A plain
// QTimer is measured alongside for comparison. Each case runs once; its time
// is the wall time of the whole run.
//
//   cellsonify_bench --benchmark_filter=Tempo

#include "playback_bench_support.h"

#include "playback/PlaybackSteps.h"
#include "playback/PitchMapping.h"
#include "playback/VoiceTable.h"
#include "playback/PacedTimer.h"
#include "drawing/KeyGeometry.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

using namespace cellsonify;
using namespace playbackbench;

namespace {

using Clock = std::chrono::steady_clock;

void ensureEventLoop() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "cellsonify_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

struct TempoRun {
    CellModel model = recording(1500, 100000);
    KeyRect keys;
    NullCanvas canvas;
    BenchHost host{canvas, canvas, canvas};
    VoiceTable voices = voiceTable(model, PitchMapping{});
    long long ticks = 0;
    Clock::time_point started, last;
    TempoRun() { keys.fill(); }
    void tick() {
        StepFrame(model, keys, host, voices);
        ++ticks;
        last = Clock::now();
    }
};

void report(benchmark::State& state, const TempoRun& run, int intervalMs, long long dropped) {
    const double seconds = std::chrono::duration<double>(run.last - run.started).count();
    const double periodMs = 1000.0 * seconds / static_cast<double>(run.ticks);
    state.SetIterationTime(seconds);
    state.counters["ticks"] = static_cast<double>(run.ticks);
    state.counters["period_ms"] = periodMs;
    state.counters["error_pct"] = 100.0 * (periodMs - intervalMs) / intervalMs;
    state.counters["dropped"] = static_cast<double>(dropped);
}

void BM_TempoPacedTimer(benchmark::State& state) {
    ensureEventLoop();
    const int intervalMs = static_cast<int>(state.range(0));
    const long long wanted = state.range(1);
    for (auto _ : state) {
        TempoRun run;
        QEventLoop loop;
        PacedTimer timer([&] {
            run.tick();
            if (run.ticks == wanted) loop.quit();
        });
        run.started = Clock::now();
        timer.setInterval(intervalMs);
        loop.exec();
        timer.setInterval(0);
        report(state, run, intervalMs, timer.droppedTicks());
    }
}
BENCHMARK(BM_TempoPacedTimer)
    ->Args({1, 2000})->Args({2, 2000})->Args({5, 2000})->Args({50, 2000})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TempoPlainQTimer(benchmark::State& state) {
    ensureEventLoop();
    const int intervalMs = static_cast<int>(state.range(0));
    const long long wanted = state.range(1);
    for (auto _ : state) {
        TempoRun run;
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            run.tick();
            if (run.ticks == wanted) loop.quit();
        });
        run.started = Clock::now();
        timer.start(intervalMs);
        loop.exec();
        timer.stop();
        report(state, run, intervalMs, 0);
    }
}
BENCHMARK(BM_TempoPlainQTimer)->Args({1, 2000})->Args({5, 2000})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
