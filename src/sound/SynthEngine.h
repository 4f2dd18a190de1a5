#pragma once

#include "sound/MidiMessage.h"

#include <fluidsynth/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace cellsonify {

// The embedded General MIDI synthesizer without any audio device: it takes
// short messages and renders 44.1 kHz stereo on demand, which serves both the
// live output (an audio driver pulls from it) and offline rendering.
// Safe to use from several threads at once (FluidSynth's API lock).
class SynthEngine {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    // Enough voices for a hundred simultaneous notes of a layered preset.
    static constexpr int kPolyphony = 1024;
    // Master gain: a single piano note (middle C, full velocity) peaks near
    // -12 dBFS with the system's General MIDI font. Louder passages go over
    // full scale here; OutputLimiter brings them back on the way out.
    static constexpr double kGain = 0.7;

    // A synthesizer without a SoundFont (silent until one is loaded); nullptr and
    // a reason in `error` when FluidSynth cannot create one.
    static std::unique_ptr<SynthEngine> create(std::string* error = nullptr);
    ~SynthEngine();
    SynthEngine(const SynthEngine&) = delete;
    SynthEngine& operator=(const SynthEngine&) = delete;

    // Loads a SoundFont and resets every channel's preset from it. Blocks for as
    // long as the file takes (up to a second for large ones). False and a reason
    // in `error` on failure.
    bool loadSoundFont(const std::string& path, std::string* error = nullptr);
    // Whether a SoundFont has been loaded.
    bool hasSoundFont() const;

    // Acts on one short message now: note on/off, program change, control
    // change, pitch bend, pressure. System messages are ignored.
    void apply(const MidiMessage& message);

    // Renders `frames` interleaved stereo frames (left, right) as floats, where
    // full scale is +-1.0 and louder passages exceed it instead of clipping.
    void render(float* interleaved, int frames);
    // Renders `frames` interleaved stereo frames as 16-bit samples (dithered, clipped).
    void render(int16_t* interleaved, int frames);

    // Most voices that can sound at once; past it FluidSynth steals old voices.
    int polyphony() const;
    // Voices currently sounding, including those in their release.
    int activeVoiceCount() const;
    // Program number of the preset sounding on a channel (0-based), -1 if none.
    int programOnChannel(int channel) const;

    // FluidSynth handles for an audio driver to pull from.
    fluid_settings_t* settings() const { return settings_; }
    fluid_synth_t* synth() const { return synth_; }

private:
    SynthEngine(fluid_settings_t* settings, fluid_synth_t* synth);

    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
    std::atomic<bool> hasSoundFont_{false};
};

}  // namespace cellsonify
