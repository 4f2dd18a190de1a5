#include "export/PassAudio.h"

#include "export/PlaybackPass.h"
#include "export/WavFile.h"
#include "sound/OfflineRender.h"
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
        if (!engine->loadSoundFont(font.path.string(), &error)) throw ExportError("cannot render audio: " + error);
        engines.push_back(std::move(engine));
    }
    return engines;
}

int64_t passAudioFrames(const PlaybackPass& pass, double tailSeconds) {
    if (!(tailSeconds >= 0)) throw ExportError("the tail must be 0 seconds or more");
    constexpr double kMostSeconds =
        static_cast<double>(kMostWavDataBytes / kBytesPerFrame) / SynthEngine::kSampleRate;
    // Checked in seconds first: counted in frames a very slow pass would overflow.
    const double seconds = static_cast<double>(pass.lengthMs()) / 1000.0 + tailSeconds;
    if (seconds > kMostSeconds)
        throw ExportError("the recording lasts " + std::to_string(static_cast<long long>(seconds)) +
                          " s at this speed, more than a WAV file holds (" +
                          std::to_string(static_cast<long long>(kMostSeconds)) + " s)");
    const int64_t frames =
        frameAtMs(pass.lengthMs()) + static_cast<int64_t>(std::floor(tailSeconds * SynthEngine::kSampleRate));
    if (static_cast<uint64_t>(frames * kBytesPerFrame) > kMostWavDataBytes)
        throw ExportError("the recording is too long at this speed for a WAV file");
    return frames;
}

bool renderPassSound(std::span<SynthEngine* const> engines, const PlaybackPass& pass, double tailSeconds,
                     const PassSoundBlock& take) {
    const int64_t total = passAudioFrames(pass, tailSeconds);
    if (engines.empty()) throw ExportError("cannot render audio without a synthesizer");
    std::vector<Share> shares = dealOut(engines, pass);
    for (int64_t position = 0; position < total;) {
        const int64_t until = std::min(total, position + kChunkFrames);
        if (!take(renderChunk(shares, position, until))) return false;
        position = until;
    }
    return true;
}

std::optional<std::string> renderPassAsWav(std::span<SynthEngine* const> engines, const PlaybackPass& pass,
                                           double tailSeconds, const ExportProgress& progress) {
    const int64_t total = passAudioFrames(pass, tailSeconds);
    if (engines.empty()) throw ExportError("cannot render audio without a synthesizer");
    std::string wav = wavHeader(SynthEngine::kChannels, SynthEngine::kSampleRate,
                                static_cast<uint32_t>(total * kBytesPerFrame));
    wav.reserve(wav.size() + static_cast<std::size_t>(total * kBytesPerFrame));
    std::vector<Share> shares = dealOut(engines, pass);

    if (progress && !progress(0.0)) return std::nullopt;
    for (int64_t position = 0; position < total;) {
        const int64_t until = std::min(total, position + kChunkFrames);
        const std::vector<float> mix = renderChunk(shares, position, until);
        appendPcm16(wav, mix.data(), mix.size());
        position = until;
        if (progress && !progress(static_cast<double>(position) / static_cast<double>(total))) return std::nullopt;
    }
    return wav;
}

}  // namespace cellsonify
