#pragma once

#include "sound/MidiOutput.h"
#include "sound/SoundFactory.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cellsonify {

// The outputs the Sound menu offers and how to make one of them. An empty
// port name stands for the built-in synthesizer.
struct OutputChoices {
    // The ALSA MIDI output ports there are now (what `cellsonify ports` lists).
    std::function<std::vector<std::string>()> listPorts;
    // A new, unopened output for `port`.
    std::function<std::unique_ptr<MidiOutput>(const std::string& port)> make;
};

// The real outputs: ALSA sequencer ports through RtMidi, and the built-in
// synthesizer with the SoundFont `sound` names.
OutputChoices systemOutputChoices(const SoundOptions& sound);

// How the menu and About name an output.
std::string outputLabel(const std::string& port);

}  // namespace cellsonify
