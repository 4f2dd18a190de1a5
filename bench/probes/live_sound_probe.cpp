// Plays a known note sequence through the live synthesizer output and records
// what the sound server plays back, to count dropouts and measure the delay
// from sending a note to hearing it. Run it under a private PulseAudio server
// with a null sink (see bench/probes/measure-live-sound.sh):
//   live_sound_probe [SECONDS]      (CELLSONIFY_AUDIO_BUFFER_MS picks the buffer)
// Ends with a 100-note burst, whose peak it reports. Prints one line: buffer,
// notes sent and heard, gaps, gap time, how far the onsets strayed from their
// 500 ms spacing, the latency from sending each note to its first loud sample
// (the recording dated by PulseAudio's own latency report), the burst's peak.
// PROBE_MONITOR names the source to record (default out.monitor; "-" only
// plays); PROBE_DUMP=FILE writes the recorded levels as raw floats.
#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace cellsonify;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;
constexpr int kReadFrames = 64;
constexpr auto kNoteEvery = std::chrono::milliseconds(500);
constexpr auto kNoteHeld = std::chrono::milliseconds(300);
constexpr double kSilence = 0.001;       // -60 dBFS
constexpr double kOnset = 0.2;          // a held note peaks near 0.35
constexpr double kTail = 0.15;          // the reverb between notes falls below this
constexpr int kShortestGap = kRate / 1000;  // 1 ms of silence inside a held note

// Reads the sink's monitor and keeps, per frame, the louder channel, and per
// read when its last frame was played: the time of the read less what the
// server reports as still in flight.
struct Recorder {
    pa_simple* stream = nullptr;
    std::mutex mutex;  // guards level while the reader runs
    std::vector<float> level;
    std::vector<double> frameZeros;  // per read: its played time less its frames / rate
    std::atomic<bool> stop{false};
    std::thread thread;

    bool open(Clock::time_point origin) {
        const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kRate, 2};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = kReadFrames * 4;
        int error = 0;
        const char* device = std::getenv("PROBE_MONITOR");
        stream = pa_simple_new(nullptr, "live_sound_probe", PA_STREAM_RECORD, device ? device : "out.monitor",
                               "monitor", &sampleFormat, nullptr, &attr, &error);
        if (!stream) {
            std::fprintf(stderr, "cannot record the monitor: %s\n", pa_strerror(error));
            return false;
        }
        thread = std::thread([this, origin] {
            int16_t buffer[kReadFrames * 2];
            while (!stop) {
                int error = 0;
                if (pa_simple_read(stream, buffer, sizeof buffer, &error) < 0) break;
                const double now = std::chrono::duration<double>(Clock::now() - origin).count();
                const pa_usec_t inFlight = pa_simple_get_latency(stream, &error);
                std::lock_guard lock(mutex);
                for (int k = 0; k < kReadFrames; ++k)
                    level.push_back(std::max(std::abs(buffer[2 * k]), std::abs(buffer[2 * k + 1])) / 32768.0f);
                frameZeros.push_back(now - static_cast<double>(inFlight) / 1e6 - static_cast<double>(level.size()) / kRate);
            }
        });
        return true;
    }
    std::size_t framesSoFar() {
        std::lock_guard lock(mutex);
        return level.size();
    }
    void close() {
        stop = true;
        thread.join();
        pa_simple_free(stream);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const double totalSeconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    Recorder recorder;
    const Clock::time_point origin = Clock::now();
    // PROBE_MONITOR=- only plays (to check an audio driver by ear or file).
    const char* monitor = std::getenv("PROBE_MONITOR");
    const bool recording = monitor == nullptr || std::string(monitor) != "-";
    if (recording && !recorder.open(origin)) return 1;

    FluidSynthOutput output;
    if (output.open() != 0 || !output.waitUntilLoaded()) {
        std::fprintf(stderr, "synthesizer: %s\n", output.lastError().c_str());
        return 1;
    }
    output.shortMessage(programChangeMessage(16));  // drawbar organ: steady while held
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));

    const int notes = static_cast<int>(totalSeconds * 1000 / kNoteEvery.count());
    std::vector<double> sentAt;
    Clock::time_point next = Clock::now();
    for (int i = 0; i < notes; ++i) {
        std::this_thread::sleep_until(next);
        sentAt.push_back(std::chrono::duration<double>(Clock::now() - origin).count());
        output.shortMessage(noteOnMessage(60, 127));
        std::this_thread::sleep_until(next + kNoteHeld);
        output.shortMessage(noteOffMessage(0, 60));
        next += kNoteEvery;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Last, 100 piano notes struck at once: the limiter must keep them from clipping.
    const std::size_t burstFrom = recording ? recorder.framesSoFar() : 0;
    output.shortMessage(programChangeMessage(0));
    for (int key = 14; key < 114; ++key) output.shortMessage(noteOnMessage(key, 127));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    if (!recording) {
        std::printf("played %d notes through %s\n", notes, output.audioDriverName().c_str());
        return 0;
    }
    recorder.close();

    // The notes are found in the recording by their onsets (a loud sample
    // after at least 33 ms of the previous note's reverb tail); each held part, from 30 ms after its onset
    // until 20 ms before its note-off, must never fall silent for 1 ms.
    const auto& level = recorder.level;
    // Block peaks, so a waveform's zero crossings do not read as quiet.
    constexpr std::size_t kBlock = 256;
    std::vector<std::size_t> onsets;
    std::size_t quietBlocks = 0;
    bool armed = false;  // after a quiet stretch, until the next onset
    const std::size_t notesEnd = std::min(level.size(), burstFrom);
    for (std::size_t first = 0; first + kBlock <= notesEnd; first += kBlock) {
        const float peak = *std::max_element(level.begin() + first, level.begin() + first + kBlock);
        quietBlocks = peak < kTail ? quietBlocks + 1 : 0;
        if (quietBlocks * kBlock >= static_cast<std::size_t>(kRate / 30)) armed = true;
        if (armed && peak >= kOnset) {
            onsets.push_back(first);
            armed = false;
        }
    }
    if (const char* dump = std::getenv("PROBE_DUMP")) {
        if (FILE* f = std::fopen(dump, "wb")) {
            std::fwrite(level.data(), sizeof(float), level.size(), f);
            std::fclose(f);
        }
    }
    if (std::getenv("PROBE_TRACE"))
        std::fprintf(stderr, "recorded %zu frames, loudest %.3f\n", level.size(),
                     level.empty() ? 0.0 : *std::max_element(level.begin(), level.end()));
    int gaps = 0;
    double gapSeconds = 0;
    double worstSpacingError = 0;
    for (std::size_t i = 0; i < onsets.size(); ++i) {
        const std::size_t end = onsets[i] + static_cast<std::size_t>((kNoteHeld.count() - 20) * kRate / 1000);
        std::size_t quiet = 0;
        for (std::size_t k = onsets[i] + static_cast<std::size_t>(0.03 * kRate); k < std::min(end, level.size()); ++k) {
            quiet = level[k] < kSilence ? quiet + 1 : 0;
            if (quiet == static_cast<std::size_t>(kShortestGap)) {
                ++gaps;
                gapSeconds += static_cast<double>(kShortestGap) / kRate;
            } else if (quiet > static_cast<std::size_t>(kShortestGap)) {
                gapSeconds += 1.0 / kRate;
            }
        }
        if (i > 0) {
            const double spacing = static_cast<double>(onsets[i] - onsets[i - 1]) / kRate;
            worstSpacingError = std::max(worstSpacingError, std::fabs(spacing - kNoteEvery.count() / 1000.0));
        }
    }
    // Latency: each note's first sample above -26 dBFS against its send time,
    // with the recording dated by the median of the reads' estimates.
    std::vector<double> zeros = recorder.frameZeros;
    std::nth_element(zeros.begin(), zeros.begin() + zeros.size() / 2, zeros.end());
    const double frameZero = zeros.empty() ? 0 : zeros[zeros.size() / 2];
    std::vector<double> latencies;
    for (double sent : sentAt) {
        const double from = (sent - frameZero) * kRate;
        if (from < 0) continue;
        auto k = static_cast<std::size_t>(from);
        const std::size_t end = std::min(level.size(), k + static_cast<std::size_t>(0.2 * kRate));
        while (k < end && level[k] < 0.05f) ++k;
        if (k < end) latencies.push_back(frameZero + static_cast<double>(k) / kRate - sent);
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies.empty() ? NAN : latencies[latencies.size() / 2] * 1000;
    const double most = latencies.empty() ? NAN : latencies.back() * 1000;
    float burstPeak = 0;
    std::size_t fullScale = 0;
    for (std::size_t k = std::min(burstFrom, level.size()); k < level.size(); ++k) {
        burstPeak = std::max(burstPeak, level[k]);
        if (level[k] >= 32767.0f / 32768.0f) ++fullScale;
    }
    std::printf("buffer %d ms  driver %s  notes sent %d heard %zu  gaps %d  gap time %.1f ms  worst onset jitter %.1f ms  "
                "latency median %.1f ms max %.1f ms (%zu notes)  100-note burst peak %.1f dBFS, %zu samples at full scale\n",
                audioBufferMs(), output.audioDriverName().c_str(), notes, onsets.size(), gaps, gapSeconds * 1000,
                worstSpacingError * 1000, median, most, latencies.size(), 20 * std::log10(std::max(burstPeak, 1e-9f)),
                fullScale);
    return 0;
}
