#include "app/OutputChoices.h"

#include "sound/RtMidiOutput.h"

namespace cellsonify {

OutputChoices systemOutputChoices(const SoundOptions& sound) {
    OutputChoices choices;
    choices.listPorts = [] { return listMidiPorts().names; };
    choices.make = [sound](const std::string& port) {
        SoundOptions options = sound;
        options.midiPort = port;
        return makeDefaultOutput(options);
    };
    return choices;
}

std::string outputLabel(const std::string& port) { return port.empty() ? "Built-in synthesizer" : port; }

}  // namespace cellsonify
