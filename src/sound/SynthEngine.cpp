#include "sound/SynthEngine.h"

#include "sound/LibraryMessages.h"

#include <fluidsynth.h>

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

    fluid_synth_t* synth = new_fluid_synth(settings);
    if (synth == nullptr) {
        delete_fluid_settings(settings);
        if (error != nullptr) {
            *error = "cannot create the synthesizer" + parenthesized(capture.text());
        }
        return nullptr;
    }
    return std::unique_ptr<SynthEngine>(new SynthEngine(settings, synth));
}

SynthEngine::SynthEngine(fluid_settings_t* settings, fluid_synth_t* synth)
    : settings_(settings), synth_(synth) {}

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
        // FluidSynth treats velocity 0 as a note-off, as MIDI does.
        fluid_synth_noteon(synth_, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth_, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth_, channel, data1, data2);
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

void SynthEngine::render(float* interleaved, int frames) {
    fluid_synth_write_float(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
}

void SynthEngine::render(int16_t* interleaved, int frames) {
    fluid_synth_write_s16(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
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
