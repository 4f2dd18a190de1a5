#include "support/RecordingOutput.h"

#include "sound/MidiBytes.h"

namespace cellsonify {

RecordingOutput::RecordingOutput(int openResult) : openResult_(openResult) {}

int RecordingOutput::open() {
    ++openCount_;
    opened_ = openResult_ == 0;
    return openResult_;
}

void RecordingOutput::shortMessage(int32_t message) {
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
    return splitShortMessage(messages_.at(index)).data;
}

std::vector<uint8_t> RecordingOutput::allBytes() const {
    std::vector<uint8_t> all;
    all.reserve(messages_.size() * 3);
    for (int32_t message : messages_) {
        const auto data = splitShortMessage(message).data;
        all.insert(all.end(), data.begin(), data.end());
    }
    return all;
}

void RecordingOutput::clear() {
    messages_.clear();
    ignored_ = 0;
}

}  // namespace cellsonify
