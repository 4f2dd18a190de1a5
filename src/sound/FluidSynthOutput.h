#pragma once

#include "sound/OutputLimiter.h"
#include "sound/ReportingOutput.h"
#include "sound/SynthEngine.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cellsonify {

// Sound card buffer in milliseconds. The buffer must outlast the longest
// stretch in which neither the synthesizer nor the sound server runs: on the
// 2-core machines measured, whole-machine stalls of 30-40 ms came about once a
// minute even when idle, and each broke a 16 ms buffer up. With 48 ms a note
// sounds a median 57 ms after it is sent, well within the 125 ms by which sound
// may trail a picture before viewers notice (docs/benchmarks.md, "Live sound").
inline constexpr int kDefaultAudioBufferMs = 48;
inline constexpr int kLeastAudioBufferMs = 2;
inline constexpr int kMostAudioBufferMs = 200;
// $CELLSONIFY_AUDIO_BUFFER_MS when it is a whole number of milliseconds in
// [kLeastAudioBufferMs, kMostAudioBufferMs], else kDefaultAudioBufferMs.
int audioBufferMs();

struct FluidSynthOptions {
    // SoundFont to play with; empty: $CELLSONIFY_SOUNDFONT, then the system search.
    std::string soundFont;
    // False: no audio driver at all; whoever holds the output renders engine()
    // itself. Also forced off (open fails) by CELLSONIFY_NO_AUDIO_DEVICE.
    bool audioDevice = true;
    // Runs on the loading thread just before the SoundFont loads; tests hold
    // the load here to send messages while it is pending.
    std::function<void()> beforeLoad = {};
};

// The default output: the embedded synthesizer playing through the sound card.
// open() returns as soon as the SoundFont file looks right and the audio device
// runs; the SoundFont itself loads on a background thread, once the
// soundFontLoadGate lets it. Until it is loaded
// the messages sent are held, the latest program change of each channel
// first, and play the moment the load completes. The sound passes through an
// OutputLimiter on its way to the device.
class FluidSynthOutput : public ReportingOutput {
public:
    explicit FluidSynthOutput(FluidSynthOptions options = {});
    // Stops the audio, waits for a load in progress, frees the synthesizer.
    ~FluidSynthOutput() override;
    FluidSynthOutput(const FluidSynthOutput&) = delete;
    FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

    // 0 when the SoundFont file is valid and audio runs (or is not wanted);
    // non-zero with lastError() set otherwise. Tries pulseaudio, then alsa.
    int open() override;
    // Plays the message; any thread. Does nothing if open() failed.
    void shortMessage(const MidiMessage& message) override;
    // Why open() or the background load failed, empty otherwise.
    std::string lastError() const override;

    // Blocks until the background load has ended; true if the SoundFont is in use.
    bool waitUntilLoaded();
    // The SoundFont chosen by open(), empty before or when none was usable.
    std::string soundFontPath() const { return soundFontPath_; }
    // The audio driver that opened ("pulseaudio", "alsa"), empty if none.
    std::string audioDriverName() const { return driverName_; }
    // The synthesizer, nullptr unless open() succeeded. Render from it only when
    // there is no audio device, and only after waitUntilLoaded().
    SynthEngine* engine() { return engine_.get(); }

private:
    enum class State { Closed, Loading, Ready, Failed };
    struct LiveMix;
    // A bound on what a load can hold back: far more than the notes of the
    // longest load at the fastest speed.
    static constexpr std::size_t kMostHeldMessages = 4096;

    int fail(const std::string& reason);
    std::string startAudio();
    void loadInBackground();

    FluidSynthOptions options_;
    std::unique_ptr<SynthEngine> engine_;
    std::unique_ptr<LiveMix> mix_;
    fluid_audio_driver_t* driver_ = nullptr;
    std::string soundFontPath_;
    std::string driverName_;
    std::thread loader_;

    mutable std::mutex mutex_;  // guards everything below
    std::condition_variable loadEnded_;
    State state_ = State::Closed;
    std::array<int, 16> pendingProgram_{};  // -1: no program change waiting on that channel
    std::vector<MidiMessage> heldMessages_;     // all but program changes, sent while loading
    std::string error_;
};

}  // namespace cellsonify
