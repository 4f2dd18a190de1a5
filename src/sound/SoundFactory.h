#pragma once

#include "sound/MidiOutput.h"

#include <memory>
#include <ostream>
#include <string>

namespace cellsonify {

// Where the notes go, as chosen on the command line or in the environment.
struct SoundOptions {
    // Part of an external MIDI port's name; empty: the embedded synthesizer.
    std::string midiPort;
    // SoundFont for the embedded synthesizer; empty: the system search.
    std::string soundFont;

    // Options from CELLSONIFY_MIDI_PORT and CELLSONIFY_SOUNDFONT; a --midi-port
    // argument should then overwrite midiPort.
    static SoundOptions fromEnvironment();
};

// The output to open at start-up (device "-1"): an RtMidiOutput on the named
// port, otherwise the embedded FluidSynthOutput. Not yet opened.
std::unique_ptr<MidiOutput> makeDefaultOutput(const SoundOptions& options);

// Writes the MIDI output ports to `out`, one per line, for the "ports"
// command; without a sequencer, "error: <why>" to `err`. Returns the process
// exit code: 0 listed (even if empty), 1 no sequencer.
int writeMidiPortList(std::ostream& out, std::ostream& err);

}  // namespace cellsonify
