#pragma once

#include "sound/ReportingOutput.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiOut;

namespace cellsonify {

// The MIDI output ports that the ALSA sequencer offers.
struct MidiPortList {
    bool sequencerAvailable = false;  // false: no sequencer (e.g. /dev/snd/seq missing)
    std::vector<std::string> names;   // port names, in the sequencer's order
    std::string error;                // why the sequencer is unavailable; empty otherwise
};

// Lists output ports through the ALSA sequencer. Never throws, never prints.
MidiPortList listMidiPorts();

// Index of the first name containing `fragment` ignoring ASCII case, -1 if none.
int findPortByFragment(const std::vector<std::string>& names, const std::string& fragment);

// An external synthesizer or program reached through an ALSA sequencer port.
// Only the ALSA API is used: RtMidi's JACK API would abort without a server.
class RtMidiOutput : public ReportingOutput {
public:
    // Will connect to the first output port whose name contains `portFragment`.
    explicit RtMidiOutput(std::string portFragment);
    ~RtMidiOutput() override;
    RtMidiOutput(const RtMidiOutput&) = delete;
    RtMidiOutput& operator=(const RtMidiOutput&) = delete;

    // 0 when the port opened; non-zero with lastError() set when there is no
    // sequencer, no matching port, or the connection was refused.
    int open() override;
    // Sends the message with its real length (2 bytes for a program change).
    void shortMessage(const MidiMessage& message) override;
    // Why open() or the last send failed, empty otherwise.
    std::string lastError() const override;

    // Full name of the connected port, empty before a successful open().
    std::string portName() const { return portName_; }

private:
    std::string fragment_;
    std::string portName_;
    std::string error_;
    std::unique_ptr<RtMidiOut> port_;
};

}  // namespace cellsonify
