// The external MIDI port and the choice of output.
#include "sound/ConsoleCapture.h"
#include "sound/SoundTestSupport.h"

#include "sound/FluidSynthOutput.h"
#include "sound/Instruments.h"
#include "sound/NotePlayer.h"
#include "sound/RtMidiOutput.h"
#include "sound/SoundFactory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace cellsonify;
using soundtest::ScopedEnv;

namespace {

bool sequencerPresent() {
    return std::filesystem::exists("/dev/snd/seq");
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(RtMidiOutput, ListingPortsWithoutASequencerExplainsWhy) {
    soundtest::ConsoleCapture console;
    const MidiPortList ports = listMidiPorts();
    if (sequencerPresent()) {
        EXPECT_TRUE(ports.sequencerAvailable) << ports.error;
        EXPECT_TRUE(ports.error.empty());
    } else {
        EXPECT_FALSE(ports.sequencerAvailable);
        EXPECT_TRUE(ports.names.empty());
        EXPECT_TRUE(contains(ports.error, "no MIDI sequencer available (ALSA: ")) << ports.error;
        EXPECT_TRUE(contains(ports.error, "/dev/snd/seq")) << ports.error;
    }
    EXPECT_EQ(console.text(), "") << "the libraries' own complaints stay off the console";
}

TEST(RtMidiOutput, OpeningWithoutASequencerOrMatchingPortFailsCleanly) {
    soundtest::ConsoleCapture console;
    RtMidiOutput output("no port is called like this 7f3a");
    EXPECT_NE(output.open(), 0);
    EXPECT_FALSE(output.lastError().empty());
    if (sequencerPresent()) {
        EXPECT_TRUE(contains(output.lastError(), "no MIDI output port matches")) << output.lastError();
    } else {
        EXPECT_TRUE(contains(output.lastError(), "no MIDI sequencer available")) << output.lastError();
    }
    // Sends after a failed open do nothing, and do not throw.
    output.shortMessage(programChangeMessage(0));
    playNote(output, true, 1.0, 10, 60);
    EXPECT_TRUE(output.portName().empty());
    EXPECT_EQ(console.text(), "");
}

TEST(RtMidiOutput, PortChosenByAnyPartOfItsName) {
    const std::vector<std::string> names{"Midi Through:Midi Through Port-0 14:0",
                                         "FLUID Synth (1234):Synth input port (1234:0) 128:0",
                                         "USB Keyboard:USB Keyboard MIDI 1 20:0"};
    EXPECT_EQ(findPortByFragment(names, "fluid"), 1);
    EXPECT_EQ(findPortByFragment(names, "usb keyboard"), 2);
    EXPECT_EQ(findPortByFragment(names, "Port"), 0) << "the first match wins";
    EXPECT_EQ(findPortByFragment(names, "128:0"), 1);
    EXPECT_EQ(findPortByFragment(names, "Timidity"), -1);
    EXPECT_EQ(findPortByFragment({}, "fluid"), -1);
}

TEST(SoundFactory, OptionsComeFromTheEnvironment) {
    {
        ScopedEnv port("CELLSONIFY_MIDI_PORT", "Keyboard");
        ScopedEnv font("CELLSONIFY_SOUNDFONT", "/tmp/some.sf2");
        const SoundOptions options = SoundOptions::fromEnvironment();
        EXPECT_EQ(options.midiPort, "Keyboard");
        EXPECT_EQ(options.soundFont, "/tmp/some.sf2");
    }
    ScopedEnv port("CELLSONIFY_MIDI_PORT", std::nullopt);
    ScopedEnv font("CELLSONIFY_SOUNDFONT", std::nullopt);
    const SoundOptions options = SoundOptions::fromEnvironment();
    EXPECT_TRUE(options.midiPort.empty());
    EXPECT_TRUE(options.soundFont.empty());
}

TEST(SoundFactory, PortNameSelectsAnExternalPortOtherwiseTheSynthesizer) {
    SoundOptions external;
    external.midiPort = "Keyboard";
    const auto port = makeDefaultOutput(external);
    ASSERT_NE(dynamic_cast<RtMidiOutput*>(port.get()), nullptr);

    SoundOptions embedded;
    embedded.soundFont = "/nonexistent/cellsonify-test.sf2";
    const auto synth = makeDefaultOutput(embedded);
    ASSERT_NE(dynamic_cast<FluidSynthOutput*>(synth.get()), nullptr);
    // The SoundFont option reaches the synthesizer.
    EXPECT_NE(synth->open(), 0);
    EXPECT_TRUE(contains(lastErrorOf(*synth), "/nonexistent/cellsonify-test.sf2")) << lastErrorOf(*synth);
}

TEST(SoundFactory, PortsCommandListsPortsOrSaysWhyNot) {
    soundtest::ConsoleCapture console;
    std::ostringstream out, err;
    const int code = writeMidiPortList(out, err);
    if (sequencerPresent()) {
        EXPECT_EQ(code, 0);
        const MidiPortList ports = listMidiPorts();
        std::string expected;
        for (const auto& name : ports.names) {
            expected += name + "\n";
        }
        EXPECT_EQ(out.str(), ports.names.empty() ? "no MIDI output ports\n" : expected);
        EXPECT_EQ(err.str(), "");
    } else {
        EXPECT_EQ(code, 1);
        EXPECT_EQ(out.str(), "") << "the failure goes to the error stream";
        EXPECT_TRUE(err.str().starts_with("error: no MIDI sequencer available (ALSA: ")) << err.str();
        EXPECT_EQ(err.str().back(), '\n');
    }
    EXPECT_EQ(console.text(), "");
}
