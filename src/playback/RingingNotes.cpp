#include "playback/RingingNotes.h"

#include <algorithm>

namespace cellsonify {

RingingNotes::RingingNotes() {
    prev_.fill(kOut);
    next_.fill(-1);
}

void RingingNotes::observe(const MidiMessage& message) {
    const int kind = message.kind();
    if (kind != 0x80 && kind != 0x90) return;
    const int key = keyOf(message);
    if (linked(key)) unlink(key);
    if (kind == 0x90 && message.data2 > 0) append(key);
}

bool RingingNotes::isComing(int key, const std::vector<MidiMessage>& coming) {
    return std::any_of(coming.begin(), coming.end(),
                       [&](const MidiMessage& on) { return keyOf(on) == key && on.data2 > 0; });
}

void RingingNotes::unlink(int key) {
    const auto k = static_cast<std::size_t>(key);
    const int before = prev_[k], after = next_[k];
    if (before >= 0) next_[static_cast<std::size_t>(before)] = static_cast<int16_t>(after);
    else head_ = after;
    if (after >= 0) prev_[static_cast<std::size_t>(after)] = static_cast<int16_t>(before);
    else tail_ = before;
    prev_[k] = kOut;
    next_[k] = -1;
    --count_;
}

void RingingNotes::append(int key) {
    const auto k = static_cast<std::size_t>(key);
    prev_[k] = static_cast<int16_t>(tail_);
    next_[k] = -1;
    if (tail_ >= 0) next_[static_cast<std::size_t>(tail_)] = static_cast<int16_t>(key);
    else head_ = key;
    tail_ = key;
    ++count_;
}

}  // namespace cellsonify
