#include "sound/SynthEngine.h"

#include "sound/LibraryMessages.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace cellsonify {

std::unique_ptr<SynthEngine> SynthEngine::create(std::string* error) {
    installLibraryMessageHandlers();
    LibraryMessageCapture capture;
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) {
        if (error != nullptr) {
            *error = "cannot create synthesizer settings" + parenthesized(capture.text());
        }
        return nullptr;
    }
    fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setint(settings, "synth.polyphony", kPolyphony);
    fluid_settings_setnum(settings, "synth.gain", kGain);
    // Pinning a 150 MB SoundFont in RAM can fail under ordinary limits, and
    // swapping it out is no worse than for any other program's memory.
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // A General MIDI font holds over a hundred instruments and a recording
    // plays one: only the samples of presets a channel selects are read, so a
    // font loads in a fraction of the time and memory. The font reads this
    // setting when it loads.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // A stereo bus per MIDI channel, placed after synthesis.
    fluid_settings_setint(settings, "synth.audio-channels", ChannelPlacement::kBuses);
    fluid_settings_setint(settings, "synth.audio-groups", ChannelPlacement::kBuses);
    fluid_settings_setint(settings, "synth.effects-groups", ChannelPlacement::kBuses);

    fluid_synth_t* synth = new_fluid_synth(settings);
    if (synth == nullptr) {
        delete_fluid_settings(settings);
        if (error != nullptr) {
            *error = "cannot create the synthesizer" + parenthesized(capture.text());
        }
        return nullptr;
    }
    // Reverb and chorus run on every block of every group that has them on,
    // sounding or not: sixteen of each would cost more than the voices of a
    // typical passage. A channel's effects come on with its first note.
    for (int group = 1; group < ChannelPlacement::kBuses; ++group) {
        fluid_synth_reverb_on(synth, group, 0);
        fluid_synth_chorus_on(synth, group, 0);
    }
    return std::unique_ptr<SynthEngine>(new SynthEngine(settings, synth));
}

SynthEngine::SynthEngine(fluid_settings_t* settings, fluid_synth_t* synth)
    : settings_(settings),
      synth_(synth),
      buses_(static_cast<std::size_t>(2 * ChannelPlacement::kBuses * kSliceFrames)),
      mix_(static_cast<std::size_t>(2 * kSliceFrames)) {}

SynthEngine::~SynthEngine() {
    // The synth refers to its settings, so it goes first.
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

bool SynthEngine::loadSoundFont(const std::string& path, std::string* error) {
    installLibraryMessageHandlers();
    LibraryMessageCapture capture;
    if (fluid_synth_sfload(synth_, path.c_str(), 1) == FLUID_FAILED) {
        if (error != nullptr) {
            *error = "cannot load SoundFont " + path + parenthesized(capture.text());
        }
        return false;
    }
    hasSoundFont_.store(true);
    return true;
}

bool SynthEngine::hasSoundFont() const {
    return hasSoundFont_.load();
}

void SynthEngine::apply(const MidiMessage& message) {
    const int data1 = message.data1 & 0x7F;
    const int data2 = message.data2 & 0x7F;
    const int channel = message.channel();
    switch (message.kind()) {
    case 0x80:
        fluid_synth_noteoff(synth_, channel, data1);
        break;
    case 0x90:
        if (const uint32_t bit = 1u << channel; data2 > 0 && (playedChannels_.fetch_or(bit) & bit) == 0) {
            fluid_synth_reverb_on(synth_, channel, 1);
            fluid_synth_chorus_on(synth_, channel, 1);
        }
        // FluidSynth treats velocity 0 as a note-off, as MIDI does.
        fluid_synth_noteon(synth_, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth_, channel, data1, data2);
        break;
    case 0xB0:
        if (data1 == 10) {
            placement_.setPan(channel, data2);
        } else {
            fluid_synth_cc(synth_, channel, data1, data2);
        }
        break;
    case 0xC0:
        fluid_synth_program_change(synth_, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth_, channel, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth_, channel, data1 + 128 * data2);
        break;
    default:
        break;
    }
}

void SynthEngine::render(float* left, float* right, int frames) {
    constexpr int kOut = 2 * ChannelPlacement::kBuses;
    for (int done = 0; done < frames;) {
        const int n = std::min(kSliceFrames, frames - done);
        float* outLeft = left + done;
        float* outRight = right + done;
        std::fill_n(outLeft, n, 0.0f);
        std::fill_n(outRight, n, 0.0f);
        // FluidSynth adds into the buses; those of channels that never had a
        // note only ever receive silence, so they stay as zeroed at the start.
        const uint32_t played = playedChannels_.load();
        for (int c = 0; c < ChannelPlacement::kBuses; ++c)
            if (played & (1u << c))
                std::fill_n(buses_.begin() + static_cast<std::ptrdiff_t>(2 * c) * kSliceFrames, 2 * kSliceFrames, 0.0f);
        // Channel c's sound goes to buffers 2c and 2c + 1 of its bus, its
        // reverb and chorus (effects group c) into the same pair.
        float* bus[kOut];
        for (int i = 0; i < kOut; ++i) bus[i] = buses_.data() + static_cast<std::ptrdiff_t>(i) * kSliceFrames;
        float* effects[2 * kOut];
        for (int c = 0; c < ChannelPlacement::kBuses; ++c) {
            effects[4 * c] = effects[4 * c + 2] = bus[2 * c];
            effects[4 * c + 1] = effects[4 * c + 3] = bus[2 * c + 1];
        }
        fluid_synth_process(synth_, n, 2 * kOut, effects, kOut, bus);
        // Read again: a channel's first note may have come meanwhile, onto a
        // bus that was still silent.
        const uint32_t sounding = playedChannels_.load();
        for (int c = 0; c < ChannelPlacement::kBuses; ++c)
            if (sounding & (1u << c)) placement_.mixBus(c, bus[2 * c], bus[2 * c + 1], outLeft, outRight, n);
        done += n;
    }
}

void SynthEngine::render(float* interleaved, int frames) {
    for (int done = 0; done < frames;) {
        const int n = std::min(kSliceFrames, frames - done);
        float* left = mix_.data();
        float* right = mix_.data() + kSliceFrames;
        render(left, right, n);
        float* out = interleaved + static_cast<std::ptrdiff_t>(2) * done;
        for (int k = 0; k < n; ++k) {
            out[2 * k] = left[k];
            out[2 * k + 1] = right[k];
        }
        done += n;
    }
}

void SynthEngine::render(int16_t* interleaved, int frames) {
    for (int done = 0; done < frames;) {
        const int n = std::min(kSliceFrames, frames - done);
        float* left = mix_.data();
        float* right = mix_.data() + kSliceFrames;
        render(left, right, n);
        const auto pcm = [](float v) {
            return static_cast<int16_t>(std::clamp(std::lround(v * 32768.0f), -32768L, 32767L));
        };
        int16_t* out = interleaved + static_cast<std::ptrdiff_t>(2) * done;
        for (int k = 0; k < n; ++k) {
            out[2 * k] = pcm(left[k]);
            out[2 * k + 1] = pcm(right[k]);
        }
        done += n;
    }
}

int SynthEngine::polyphony() const {
    return fluid_synth_get_polyphony(synth_);
}

int SynthEngine::activeVoiceCount() const {
    return fluid_synth_get_active_voice_count(synth_);
}

int SynthEngine::programOnChannel(int channel) const {
    // The preset actually sounding, not the number last asked for: a program
    // change before any SoundFont is loaded selects nothing.
    fluid_preset_t* preset = fluid_synth_get_channel_preset(synth_, channel);
    return preset != nullptr ? fluid_preset_get_num(preset) : -1;
}

}  // namespace cellsonify
