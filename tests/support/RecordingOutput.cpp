#include "support/RecordingOutput.h"


namespace cellsonify {

RecordingOutput::RecordingOutput(int openResult) : openResult_(openResult) {}

int RecordingOutput::open() {
    ++openCount_;
    opened_ = openResult_ == 0;
    return openResult_;
}

void RecordingOutput::shortMessage(const MidiMessage& message) {
    if (!opened_) {
        ++ignored_;
        return;
    }
    messages_.push_back(message);
}

std::string RecordingOutput::lastError() const {
    if (openCount_ > 0 && openResult_ != 0) {
        return "simulated open failure (" + std::to_string(openResult_) + ")";
    }
    return {};
}

std::array<uint8_t, 3> RecordingOutput::bytes(std::size_t index) const {
    return messages_.at(index).bytes();
}

std::vector<uint8_t> RecordingOutput::allBytes() const {
    std::vector<uint8_t> all;
    all.reserve(messages_.size() * 3);
    for (const MidiMessage& message : messages_) {
        const auto data = message.bytes();
        all.insert(all.end(), data.begin(), data.end());
    }
    return all;
}

void RecordingOutput::clear() {
    messages_.clear();
    ignored_ = 0;
}

}  // namespace cellsonify
