#include "sound/RtMidiOutput.h"

#include "sound/LibraryMessages.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <iostream>
#include <sstream>

namespace cellsonify {

namespace {

constexpr const char* kClientName = "cellsonify";

// RtMidi writes an error to std::cerr before throwing it, and before any error
// callback can be set; the text is kept and reported with the exception instead.
class ConsoleErrorsSwallowed {
public:
    ConsoleErrorsSwallowed() : saved_(std::cerr.rdbuf(sink_.rdbuf())) {}
    ~ConsoleErrorsSwallowed() { std::cerr.rdbuf(saved_); }
    ConsoleErrorsSwallowed(const ConsoleErrorsSwallowed&) = delete;
    ConsoleErrorsSwallowed& operator=(const ConsoleErrorsSwallowed&) = delete;

private:
    std::ostringstream sink_;
    std::streambuf* saved_;
};

void keepError(RtMidiError::Type type, const std::string& text, void* target) {
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING) {
        return;
    }
    *static_cast<std::string*>(target) = text;
}

// An ALSA sequencer client, or nullptr and the reason in `error`.
std::unique_ptr<RtMidiOut> connectToSequencer(std::string* error, std::string* callbackTarget) {
    installLibraryMessageHandlers();
    // Asked for an API it lacks, RtMidi falls back to the others, JACK included.
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (std::find(apis.begin(), apis.end(), RtMidi::LINUX_ALSA) == apis.end()) {
        *error = "no MIDI sequencer available (RtMidi was built without ALSA)";
        return nullptr;
    }
    LibraryMessageCapture capture;
    try {
        ConsoleErrorsSwallowed quiet;
        auto out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
        out->setErrorCallback(keepError, callbackTarget);
        return out;
    } catch (const RtMidiError& e) {
        const std::string cause = capture.text().empty() ? e.getMessage() : capture.text();
        *error = "no MIDI sequencer available (ALSA: " + cause + ")";
    } catch (const std::exception& e) {
        *error = std::string("no MIDI sequencer available (") + e.what() + ")";
    }
    return nullptr;
}

char lowered(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

MidiPortList listMidiPorts() {
    MidiPortList list;
    std::string callbackError;
    auto out = connectToSequencer(&list.error, &callbackError);
    if (!out) {
        return list;
    }
    list.sequencerAvailable = true;
    const unsigned int count = out->getPortCount();
    for (unsigned int i = 0; i < count; ++i) {
        list.names.push_back(out->getPortName(i));
    }
    return list;
}

int findPortByFragment(const std::vector<std::string>& names, const std::string& fragment) {
    std::string wanted;
    for (char c : fragment) {
        wanted += lowered(c);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name;
        for (char c : names[i]) {
            name += lowered(c);
        }
        if (name.find(wanted) != std::string::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

RtMidiOutput::RtMidiOutput(std::string portFragment) : fragment_(std::move(portFragment)) {}

RtMidiOutput::~RtMidiOutput() = default;

int RtMidiOutput::open() {
    error_.clear();
    auto out = connectToSequencer(&error_, &error_);
    if (!out) {
        return 1;
    }
    std::vector<std::string> names;
    const unsigned int count = out->getPortCount();
    for (unsigned int i = 0; i < count; ++i) {
        names.push_back(out->getPortName(i));
    }
    const int index = findPortByFragment(names, fragment_);
    if (index < 0) {
        std::string available;
        for (const std::string& name : names) {
            available += (available.empty() ? "" : ", ") + name;
        }
        error_ = "no MIDI output port matches \"" + fragment_ + "\" (" +
                 (available.empty() ? std::string("there are no output ports")
                                    : "available: " + available) +
                 ")";
        return 1;
    }
    LibraryMessageCapture capture;
    out->openPort(static_cast<unsigned int>(index), kClientName);
    if (!out->isPortOpen()) {
        if (error_.empty()) {
            error_ = "cannot connect to MIDI port " + names[index] + parenthesized(capture.text());
        }
        return 1;
    }
    portName_ = names[index];
    port_ = std::move(out);
    return 0;
}

void RtMidiOutput::shortMessage(const MidiMessage& message) {
    if (!port_) {
        return;
    }
    const std::array<uint8_t, 3> bytes = message.bytes();
    try {
        port_->sendMessage(bytes.data(), message.size());
    } catch (const RtMidiError& e) {
        error_ = e.getMessage();
    }
}

std::string RtMidiOutput::lastError() const {
    return error_;
}

}  // namespace cellsonify
