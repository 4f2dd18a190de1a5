#pragma once

#include "sound/ChannelPlacement.h"
#include "sound/MidiMessage.h"

#include <fluidsynth/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cellsonify {

// The embedded General MIDI synthesizer without any audio device: it takes
// short messages and renders 44.1 kHz stereo on demand, which serves both the
// live output (an audio driver pulls from it) and offline rendering.
// Each MIDI channel renders to a stereo bus of its own, which ChannelPlacement
// places where the channel's pan controller says, after synthesis; reverb and
// chorus join the mix unplaced. Safe to send messages from several threads
// while one renders (FluidSynth's API lock; the pans are atomic).
class SynthEngine {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    // Enough voices for a hundred simultaneous notes of a layered preset,
    // and few enough that synthesizing all of them takes about a quarter
    // of one core of a 2-core machine (bench/probes/voice_load_probe):
    // dense passages re-strike keys every frame, and the voices left in their
    // release would otherwise pile up to any bound. Past it FluidSynth ends
    // the quietest voices in their release first.
    static constexpr int kPolyphony = 512;
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

    // Loads a SoundFont and resets every channel's preset from it. Only the
    // samples of presets in use are read (a program change reads those of its
    // preset then, and frees those no channel uses any more). Blocks for as
    // long as that takes (up to a second for large fonts). False and a reason
    // in `error` on failure.
    bool loadSoundFont(const std::string& path, std::string* error = nullptr);
    // Whether a SoundFont has been loaded.
    bool hasSoundFont() const;

    // Acts on one short message now: note on/off, program change, control
    // change, pitch bend, pressure. The pan controller (10) places the
    // channel's bus instead of reaching the synthesizer. System messages are
    // ignored.
    void apply(const MidiMessage& message);

    // Renders `frames` stereo frames into `left` and `right` (overwritten),
    // as floats where full scale is +-1.0 and louder passages exceed it
    // instead of clipping. One thread at a time.
    void render(float* left, float* right, int frames);
    // The same, interleaved (left, right).
    void render(float* interleaved, int frames);
    // Renders `frames` interleaved stereo frames as 16-bit samples (rounded, clipped).
    void render(int16_t* interleaved, int frames);

    // Most voices that can sound at once; past it FluidSynth steals old voices.
    int polyphony() const;
    // Voices currently sounding, including those in their release.
    int activeVoiceCount() const;
    // Program number of the preset sounding on a channel (0-based), -1 if none.
    int programOnChannel(int channel) const;

    // Where each channel is placed.
    const ChannelPlacement& placement() const { return placement_; }

    // FluidSynth handles.
    fluid_settings_t* settings() const { return settings_; }
    fluid_synth_t* synth() const { return synth_; }

private:
    SynthEngine(fluid_settings_t* settings, fluid_synth_t* synth);

    // Frames rendered per call into the buses.
    static constexpr int kSliceFrames = 1024;

    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
    std::atomic<bool> hasSoundFont_{false};
    ChannelPlacement placement_;
    std::atomic<uint32_t> playedChannels_{1};  // bit c: channel c has had a note (its effects are on)
    std::vector<float> buses_;  // 2 x kBuses x kSliceFrames: left, right of each channel
    std::vector<float> mix_;    // 2 x kSliceFrames: left, right, for the interleaved renders
};

}  // namespace cellsonify
