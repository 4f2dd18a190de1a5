#include "playback/NoteOffSchedule.h"

#include "playback/PitchMapping.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace cellsonify {

NoteLength parseNoteLength(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lowered == "ring") return {};
    int ms = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, ms);
    if (text.empty() || error != std::errc() || at != end || ms < 1 || ms > 60000)
        throw SoundMappingError("note length \"" + std::string(text) + "\": expected ring or milliseconds 1..60000");
    return {ms};
}

std::optional<int64_t> NoteOffSchedule::nextDueMs() const {
    if (heap_.empty()) return std::nullopt;
    return heap_.top().atMs;
}

void NoteOffSchedule::clear() {
    heap_ = {};
    std::fill(liveOrder_.begin(), liveOrder_.end(), 0);
    pending_ = 0;
}

void NoteOffSchedule::forget(const MidiMessage& noteOff) {
    const int key = (noteOff.status & 0x0F) * 128 + (noteOff.data1 & 0x7F);
    if (liveOrder_[key] == 0) return;
    liveOrder_[key] = 0;
    --pending_;
    dropStaleTop();
}

std::optional<TimedNoteOff> NoteOffSchedule::strike(int64_t nowMs, MidiMessage noteOn) {
    const int key = (noteOn.status & 0x0F) * 128 + (noteOn.data1 & 0x7F);
    std::optional<TimedNoteOff> old;
    if (liveOrder_[key] != 0) {
        if (noteOn.data2 > 0) old = TimedNoteOff{nowMs, offOfKey(key)};
        liveOrder_[key] = 0;
        --pending_;
    }
    if (noteOn.data2 > 0 && !length_.rings()) {
        const Entry entry{nowMs + length_.fixedMs, nextOrder_++, static_cast<int16_t>(key)};
        heap_.push(entry);
        liveOrder_[key] = entry.order;
        ++pending_;
    }
    dropStaleTop();
    return old;
}

std::optional<TimedNoteOff> NoteOffSchedule::takeDue(int64_t nowMs) {
    if (heap_.empty() || heap_.top().atMs > nowMs) return std::nullopt;
    const Entry entry = heap_.top();
    heap_.pop();
    liveOrder_[entry.key] = 0;
    --pending_;
    dropStaleTop();
    return TimedNoteOff{entry.atMs, offOfKey(entry.key)};
}

void NoteOffSchedule::dropStaleTop() {
    while (!heap_.empty() && liveOrder_[heap_.top().key] != heap_.top().order) heap_.pop();
}

}  // namespace cellsonify
