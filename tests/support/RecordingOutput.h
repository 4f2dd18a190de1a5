#pragma once

#include "sound/ReportingOutput.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cellsonify {

// An output that keeps what it is sent, for tests. It behaves like a real one:
// only messages sent after a successful open() are delivered (kept); the rest
// are counted as ignored.
class RecordingOutput : public ReportingOutput {
public:
    // `openResult` is what open() will return; non-zero simulates a failed device.
    explicit RecordingOutput(int openResult = 0);

    // Returns the configured result; counts the call.
    int open() override;
    // Keeps the message if open() succeeded, else counts it as ignored.
    void shortMessage(const MidiMessage& message) override;
    // "simulated open failure (N)" after a failed open, else empty.
    std::string lastError() const override;

    // Delivered messages in the order sent.
    const std::vector<MidiMessage>& messages() const { return messages_; }
    // Delivered message `index` split into status, data 1, data 2.
    std::array<uint8_t, 3> bytes(std::size_t index) const;
    // Every delivered message's three bytes, concatenated in order.
    std::vector<uint8_t> allBytes() const;
    // Messages sent before open() or after a failed one.
    int ignoredCount() const { return ignored_; }
    // How many times open() was called.
    int openCount() const { return openCount_; }
    // Forgets delivered and ignored messages; the open state stays.
    void clear();

private:
    int openResult_;
    bool opened_ = false;
    int openCount_ = 0;
    int ignored_ = 0;
    std::vector<MidiMessage> messages_;
};

}  // namespace cellsonify
