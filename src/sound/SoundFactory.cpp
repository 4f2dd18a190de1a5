#include "sound/SoundFactory.h"

#include "sound/FluidSynthOutput.h"
#include "sound/RtMidiOutput.h"

#include <cstdlib>

namespace cellsonify {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

SoundOptions SoundOptions::fromEnvironment() {
    SoundOptions options;
    options.midiPort = environment("CELLSONIFY_MIDI_PORT");
    options.soundFont = environment("CELLSONIFY_SOUNDFONT");
    return options;
}

std::unique_ptr<MidiOutput> makeDefaultOutput(const SoundOptions& options) {
    if (!options.midiPort.empty()) {
        return std::make_unique<RtMidiOutput>(options.midiPort);
    }
    FluidSynthOptions synth;
    synth.soundFont = options.soundFont;
    return std::make_unique<FluidSynthOutput>(synth);
}

int writeMidiPortList(std::ostream& out, std::ostream& err) {
    const MidiPortList ports = listMidiPorts();
    if (!ports.sequencerAvailable) {
        err << "error: " << ports.error << '\n';
        return 1;
    }
    if (ports.names.empty()) {
        out << "no MIDI output ports\n";
        return 0;
    }
    for (const std::string& name : ports.names) {
        out << name << '\n';
    }
    return 0;
}

}  // namespace cellsonify
