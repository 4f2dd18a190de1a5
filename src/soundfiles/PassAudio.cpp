#include "soundfiles/PassAudio.h"

#include "soundfiles/PlaybackPass.h"
#include "soundfiles/WavFile.h"
#include "sound/OfflineRender.h"
#include "sound/OutputLimiter.h"
#include "sound/SoundFontLocator.h"
#include "sound/SynthEngine.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <thread>

namespace cellsonify {

namespace {

constexpr int64_t kBytesPerFrame = 2 * SynthEngine::kChannels;
// Audio rendered between progress reports and thread meetings: long enough
// that starting the threads costs nothing noticeable, short enough for a
// cancel to be felt at once.
constexpr int64_t kChunkFrames = SynthEngine::kSampleRate;

int64_t frameAtMs(int64_t ms) { return ms * SynthEngine::kSampleRate / 1000; }

// One synthesizer's share of the pass: the notes of its keys plus every
// message that is not a note (the program change) so all play the same preset.
struct Share {
    SynthEngine* engine;
    std::vector<TimedMessage> messages;
    std::size_t next = 0;

    // Renders frames [from, to) of this share.
    std::vector<float> render(int64_t from, int64_t to) {
        std::vector<TimedMessage> due;
        for (; next < messages.size() && messages[next].frame < to; ++next)
            due.push_back({messages[next].frame - from, messages[next].message});
        return renderMessages(*engine, due, to - from);
    }
};

std::vector<Share> dealOut(std::span<SynthEngine* const> engines, const PlaybackPass& pass) {
    std::vector<Share> shares;
    for (SynthEngine* engine : engines) shares.push_back({engine, {}});
    for (const MidiFileEvent& m : pass.messages) {
        const TimedMessage timed{frameAtMs(m.timeMs), m.message};
        const int kind = m.message.kind();
        if (kind == 0x80 || kind == 0x90) {
            const int key = m.message.data1 & 0x7F;
            shares[static_cast<std::size_t>(key) % shares.size()].messages.push_back(timed);
        } else {
            for (Share& s : shares) s.messages.push_back(timed);
        }
    }
    return shares;
}

// Frames [from, to) of every share, rendered side by side and summed.
std::vector<float> renderChunk(std::vector<Share>& shares, int64_t from, int64_t to) {
    std::vector<std::future<std::vector<float>>> others;
    for (std::size_t i = 1; i < shares.size(); ++i)
        others.push_back(std::async(std::launch::async, [&share = shares[i], from, to] { return share.render(from, to); }));
    std::vector<float> mix = shares[0].render(from, to);
    for (auto& other : others) {
        const std::vector<float> part = other.get();
        for (std::size_t k = 0; k < mix.size(); ++k) mix[k] += part[k];
    }
    return mix;
}

// The summed shares through the limiter, counted in output frames: the
// limiter's delay is rendered ahead and left out, so output frame k is the
// sound of pass frame k.
class LimitedMix {
public:
    explicit LimitedMix(std::vector<Share>& shares) : shares_(shares) {}

    std::vector<float> next(int64_t frames) {
        if (rendered_ == 0) {
            std::vector<float> lead = renderChunk(shares_, 0, OutputLimiter::kLookAheadFrames);
            limiter_.process(lead.data(), lead.data() + 1, OutputLimiter::kLookAheadFrames, 2);
            rendered_ = OutputLimiter::kLookAheadFrames;
        }
        std::vector<float> mix = renderChunk(shares_, rendered_, rendered_ + frames);
        limiter_.process(mix.data(), mix.data() + 1, static_cast<int>(frames), 2);
        rendered_ += frames;
        return mix;
    }

private:
    std::vector<Share>& shares_;
    OutputLimiter limiter_{SynthEngine::kSampleRate};
    int64_t rendered_ = 0;
};

// Fades out frames [fadeStart, fadeEnd) of the file, given the block that
// starts at frame `first`: a half cosine from 1 to 0.
void fadeOut(std::vector<float>& block, int64_t first, int64_t fadeStart, int64_t fadeEnd) {
    const auto frames = static_cast<int64_t>(block.size() / 2);
    const double length = static_cast<double>(fadeEnd - fadeStart);
    for (int64_t k = std::max<int64_t>(0, fadeStart - first); k < frames && first + k < fadeEnd; ++k) {
        const double left = static_cast<double>(fadeEnd - (first + k)) / length;  // 1 .. 1/length
        const auto gain = static_cast<float>(0.5 - 0.5 * std::cos(M_PI * left));
        block[2 * k] *= gain;
        block[2 * k + 1] *= gain;
    }
}

float peakOf(std::span<const float> block) {
    float peak = 0;
    for (float s : block) peak = std::max(peak, std::fabs(s));
    return peak;
}

}  // namespace

int exportRenderThreads() {
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

std::vector<std::unique_ptr<SynthEngine>> exportSynthesizers(int count) {
    const SoundFontChoice font = chooseSoundFont();
    if (font.path.empty()) throw ExportError("cannot render audio: " + font.error);
    std::vector<std::unique_ptr<SynthEngine>> engines;
    std::string error;
    for (int i = 0; i < std::max(count, 1); ++i) {
        auto engine = SynthEngine::create(&error);
        if (!engine) throw ExportError("cannot render audio: " + error);
        // A General MIDI font holds over a hundred instruments and an export
        // plays one; loading only its samples saves most of the load time and
        // memory. The font reads this setting when it loads.
        fluid_settings_setint(engine->settings(), "synth.dynamic-sample-loading", 1);
        // The voices of the keys dealt to it: the live synthesizer's bound
        // shared out, so a dense pass rings no more voices than it did live,
        // at a fraction of the cost.
        fluid_synth_set_polyphony(engine->synth(), SynthEngine::kPolyphony / std::max(count, 1));
        if (!engine->loadSoundFont(font.path.string(), &error)) throw ExportError("cannot render audio: " + error);
        engines.push_back(std::move(engine));
    }
    return engines;
}

int64_t passAudioFrames(const PlaybackPass& pass, std::optional<double> tailSeconds) {
    if (tailSeconds && !(*tailSeconds >= 0)) throw ExportError("the tail must be 0 seconds or more");
    const double tail = tailSeconds.value_or(kLongestQuietTail);
    constexpr double kMostSeconds =
        static_cast<double>(kMostWavDataBytes / kBytesPerFrame) / SynthEngine::kSampleRate;
    // Checked in seconds first: counted in frames a very slow pass would overflow.
    const double seconds = static_cast<double>(pass.lengthMs()) / 1000.0 + tail;
    if (seconds > kMostSeconds)
        throw ExportError("the recording lasts " + std::to_string(static_cast<long long>(seconds)) +
                          " s at this speed, more than a WAV file holds (" +
                          std::to_string(static_cast<long long>(kMostSeconds)) + " s)");
    const int64_t frames =
        frameAtMs(pass.lengthMs()) + static_cast<int64_t>(std::floor(tail * SynthEngine::kSampleRate));
    if (static_cast<uint64_t>(frames * kBytesPerFrame) > kMostWavDataBytes)
        throw ExportError("the recording is too long at this speed for a WAV file");
    return frames;
}

bool renderPassSound(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                     std::optional<double> tailSeconds, const SoundBlockSink& take, const ExportProgress& progress) {
    const int64_t most = passAudioFrames(pass, tailSeconds);
    if (engines.empty()) throw ExportError("cannot render audio without a synthesizer");
    std::vector<Share> shares = dealOut(engines, pass);
    LimitedMix mix(shares);
    const int64_t fade = std::min<int64_t>(most, static_cast<int64_t>(kEndFadeSeconds * SynthEngine::kSampleRate));
    // A known length is written as rendered; a tail that ends when the sound
    // has died away is checked a fade's length at a time.
    const int64_t fixedPart = tailSeconds ? most : frameAtMs(pass.lengthMs());

    if (progress && !progress(0.0)) return false;
    int64_t position = 0;
    const auto report = [&] { return !progress || progress(static_cast<double>(position) / static_cast<double>(most)); };
    while (position < fixedPart) {
        const int64_t frames = std::min(fixedPart - position, kChunkFrames);
        std::vector<float> block = mix.next(frames);
        if (tailSeconds) fadeOut(block, position, most - fade, most);
        if (!take({block.data(), static_cast<std::size_t>(2 * frames)})) return false;
        position += frames;
        if (!report()) return false;
    }
    // The tail is rendered in the same long chunks (each is a meeting of the
    // render threads, costly on a busy machine) and cut at the first stretch
    // of a fade's length that is quiet, or at the longest tail.
    while (position < most) {
        const int64_t frames = std::min(most - position, kChunkFrames);
        std::vector<float> chunk = mix.next(frames);
        const int64_t step = std::max<int64_t>(fade, 1);
        int64_t keep = frames;
        for (int64_t at = 0; at < frames; at += step) {
            const int64_t length = std::min(step, frames - at);
            const auto first = chunk.begin() + 2 * at;
            const bool quiet = peakOf({first, first + 2 * length}) < kQuietLevel;
            if (quiet || position + at + length == most) {
                keep = at + length;
                chunk.resize(static_cast<std::size_t>(2 * keep));
                fadeOut(chunk, position, position + at, position + keep);
                break;
            }
        }
        if (!take({chunk.data(), static_cast<std::size_t>(2 * keep)})) return false;
        position += keep;
        if (keep < frames || position == most) break;
        if (!report()) return false;
    }
    if (progress) progress(1.0);
    return true;
}

bool renderPassToWavFile(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                         std::optional<double> tailSeconds, const std::string& path, const ExportProgress& progress) {
    passAudioFrames(pass, tailSeconds);  // an impossible length is refused before the file is begun
    WavFileWriter file(path, SynthEngine::kChannels, SynthEngine::kSampleRate);
    const auto write = [&file](std::span<const float> block) {
        file.write(block.data(), static_cast<int64_t>(block.size() / 2));
        return true;
    };
    if (!renderPassSound(engines, pass, tailSeconds, write, progress)) return false;
    file.commit();
    return true;
}

}  // namespace cellsonify
