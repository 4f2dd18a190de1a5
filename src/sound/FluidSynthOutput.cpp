#include "sound/FluidSynthOutput.h"

#include "sound/LibraryMessages.h"
#include "sound/SoundFontLoadGate.h"
#include "sound/SoundFontLocator.h"
#include "sound/SoundThreadPriority.h"

#include <fluidsynth.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace cellsonify {

namespace {

// pulseaudio also reaches PipeWire desktops through its compatibility server.
// The jack driver is left out on purpose: it would start a JACK server.
constexpr const char* kAudioDrivers[] = {"pulseaudio", "alsa"};
// The name libpulse gives the thread of its threaded main loop.
constexpr const char* kPulseClientThread = "threaded-ml";

bool audioDeviceDisabled() {
    const char* value = std::getenv("CELLSONIFY_NO_AUDIO_DEVICE");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// FluidSynth renders in blocks of 64 frames; a period of whole blocks keeps
// every callback the same length.
int wholeBlocks(int frames) { return std::max(64, (frames + 32) / 64 * 64); }

}  // namespace

int audioBufferMs() {
    const char* value = std::getenv("CELLSONIFY_AUDIO_BUFFER_MS");
    if (value == nullptr || *value == '\0') return kDefaultAudioBufferMs;
    int ms = 0;
    const char* end = value + std::strlen(value);
    const auto [stop, error] = std::from_chars(value, end, ms);
    if (error != std::errc() || stop != end || ms < kLeastAudioBufferMs || ms > kMostAudioBufferMs)
        return kDefaultAudioBufferMs;
    return ms;
}

// What the audio thread needs: the synthesizer to pull from and the limiter
// that only this thread touches.
struct FluidSynthOutput::LiveMix {
    SynthEngine* engine;
    OutputLimiter limiter{SynthEngine::kSampleRate};

    // The audio driver's callback: fills out[0] (left) and out[1] (right)
    // with the placed mix, as exported audio has it, then limits it.
    static int render(void* data, int len, int, float**, int nout, float** out) {
        auto* mix = static_cast<LiveMix*>(data);
        if (nout < 2) return FLUID_FAILED;
        mix->engine->render(out[0], out[1], len);
        mix->limiter.process(out[0], out[1], len, 1);
        return FLUID_OK;
    }
};

FluidSynthOutput::FluidSynthOutput(FluidSynthOptions options) : options_(std::move(options)) {
    pendingProgram_.fill(-1);
}

FluidSynthOutput::~FluidSynthOutput() {
    if (driver_ != nullptr) {
        delete_fluid_audio_driver(driver_);
    }
    mix_.reset();
    if (loader_.joinable()) {
        loader_.join();
    }
    engine_.reset();
}

int FluidSynthOutput::fail(const std::string& reason) {
    engine_.reset();
    std::lock_guard lock(mutex_);
    state_ = State::Failed;
    error_ = reason;
    loadEnded_.notify_all();
    return 1;
}

int FluidSynthOutput::open() {
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::Closed) {
            return state_ == State::Failed ? 1 : 0;
        }
    }
    installLibraryMessageHandlers();
    const SoundFontChoice font = chooseSoundFont(options_.soundFont);
    if (font.path.empty()) {
        return fail(font.error);
    }
    soundFontPath_ = font.path.string();
    if (options_.audioDevice && audioDeviceDisabled()) {
        return fail("audio output disabled (CELLSONIFY_NO_AUDIO_DEVICE is set)");
    }
    std::string error;
    engine_ = SynthEngine::create(&error);
    if (!engine_) {
        return fail(error);
    }
    if (options_.audioDevice) {
        error = startAudio();
        if (!error.empty()) {
            return fail(error);
        }
    }
    {
        std::lock_guard lock(mutex_);
        state_ = State::Loading;
    }
    loader_ = std::thread([this] { loadInBackground(); });
    return 0;
}

std::string FluidSynthOutput::startAudio() {
    std::string reasons;
    const int bufferFrames = audioBufferMs() * SynthEngine::kSampleRate / 1000;
    mix_ = std::make_unique<LiveMix>(LiveMix{engine_.get()});
    for (const char* name : kAudioDrivers) {
        LibraryMessageCapture capture;
        if (!reasons.empty()) {
            reasons += "; ";
        }
        // A refused name would leave the previous driver selected, and the
        // default may well be jack.
        if (fluid_settings_setstr(engine_->settings(), "audio.driver", name) != FLUID_OK) {
            reasons += std::string(name) + ": not built into this FluidSynth";
            continue;
        }
        // The pulseaudio driver ignores audio.periods: its whole buffer is one
        // period. ALSA keeps two, so each is half the buffer.
        const bool onePeriod = std::strcmp(name, "pulseaudio") == 0;
        fluid_settings_setint(engine_->settings(), "audio.period-size",
                              wholeBlocks(onePeriod ? bufferFrames : bufferFrames / 2));
        fluid_settings_setint(engine_->settings(), "audio.periods", 2);
        driver_ = new_fluid_audio_driver2(engine_->settings(), &LiveMix::render, mix_.get());
        if (driver_ != nullptr) {
            driverName_ = name;
            // The client library's own thread carries each buffer to the
            // server: just below the synthesizer's thread, so a busy machine
            // does not hold it back past the buffer's length.
            if (onePeriod) {
                int synthPriority = 60;
                fluid_settings_getint(engine_->settings(), "audio.realtime-prio", &synthPriority);
                raiseThreadsNamed(kPulseClientThread, synthPriority - 1);
            }
            return {};
        }
        reasons += std::string(name) + ": " + (capture.text().empty() ? "failed" : capture.text());
    }
    return "no audio device could be opened (" + reasons + ")";
}

void FluidSynthOutput::loadInBackground() {
    soundFontLoadGate::waitUntilOpen();
    if (options_.beforeLoad) options_.beforeLoad();
    std::string error;
    const bool loaded = engine_->loadSoundFont(soundFontPath_, &error);
    std::lock_guard lock(mutex_);
    if (loaded) {
        // Still under the lock, so a program change sent meanwhile cannot
        // overtake the one that was waiting.
        for (int channel = 0; channel < static_cast<int>(pendingProgram_.size()); ++channel) {
            if (pendingProgram_[channel] >= 0) {
                engine_->apply({static_cast<uint8_t>(0xC0 + channel), static_cast<uint8_t>(pendingProgram_[channel]), 0});
                pendingProgram_[channel] = -1;
            }
        }
        state_ = State::Ready;
        for (const MidiMessage& message : heldMessages_) engine_->apply(message);
        heldMessages_.clear();
    } else {
        state_ = State::Failed;
        error_ = error;
    }
    loadEnded_.notify_all();
}

void FluidSynthOutput::shortMessage(const MidiMessage& message) {
    {
        std::lock_guard lock(mutex_);
        if (state_ == State::Loading) {
            if (message.kind() == 0xC0) {
                pendingProgram_[message.channel()] = message.data1 & 0x7F;
            } else if (heldMessages_.size() < kMostHeldMessages) {
                heldMessages_.push_back(message);
            }
            return;
        }
        if (state_ != State::Ready) {
            return;
        }
    }
    // Ready never changes back, and the engine has its own lock.
    engine_->apply(message);
}

std::string FluidSynthOutput::lastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

bool FluidSynthOutput::waitUntilLoaded() {
    std::unique_lock lock(mutex_);
    loadEnded_.wait(lock, [this] { return state_ != State::Loading; });
    return state_ == State::Ready;
}

}  // namespace cellsonify
