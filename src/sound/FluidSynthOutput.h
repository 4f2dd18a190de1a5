#pragma once

#include "sound/ReportingOutput.h"
#include "sound/SynthEngine.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace cellsonify {

struct FluidSynthOptions {
    // SoundFont to play with; empty: $CELLSONIFY_SOUNDFONT, then the system search.
    std::string soundFont;
    // False: no audio driver at all; whoever holds the output renders engine()
    // itself. Also forced off (open fails) by CELLSONIFY_NO_AUDIO_DEVICE.
    bool audioDevice = true;
};

// The default output: the embedded synthesizer playing through the sound card.
// open() returns as soon as the SoundFont file looks right and the audio device
// runs; the SoundFont itself loads on a background thread. Until it is loaded
// note-ons are dropped, while the latest program change of each channel is kept
// and takes effect when the load completes.
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

    int fail(const std::string& reason);
    std::string startAudio();
    void loadInBackground();

    FluidSynthOptions options_;
    std::unique_ptr<SynthEngine> engine_;
    fluid_audio_driver_t* driver_ = nullptr;
    std::string soundFontPath_;
    std::string driverName_;
    std::thread loader_;

    mutable std::mutex mutex_;  // guards everything below
    std::condition_variable loadEnded_;
    State state_ = State::Closed;
    std::array<int, 16> pendingProgram_{};  // -1: no program change waiting on that channel
    std::string error_;
};

}  // namespace cellsonify
