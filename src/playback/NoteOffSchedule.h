#pragma once

#include "sound/MidiMessage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <string_view>
#include <vector>

namespace cellsonify {

// How long a struck note sounds.
struct NoteLength {
    int fixedMs = 0;  // 0: it rings, no note-off, the instrument's own decay ends it
    bool rings() const { return fixedMs <= 0; }
    bool operator==(const NoteLength&) const = default;
};

// "ring" (any case) or whole milliseconds 1..60000; throws SoundMappingError
// naming the text otherwise.
NoteLength parseNoteLength(std::string_view text);

// A note-off and when it is due, in milliseconds on the caller's clock.
struct TimedNoteOff {
    int64_t atMs = 0;
    MidiMessage off;
    bool operator==(const TimedNoteOff&) const = default;
};

// The note-offs a fixed note length owes, earliest first. The live stepper
// sends each when its time has come; an export writes each at its exact time.
// At one moment due note-offs go out before new note-ons, so a note that ends
// just as its key is struck again ends first. A key struck again while its
// note still sounds gets its note-off at once, before the new note-on, and
// the old pending one is dropped, so the old note cannot cut the new one
// short. A velocity-0 note-on (the end of a pass) goes out as it is and
// releases the key itself: its pending note-off is dropped.
class NoteOffSchedule {
public:
    explicit NoteOffSchedule(NoteLength length = {}) : length_(length) {}

    // Notes struck from now on last `length`; pending note-offs keep their times.
    void setLength(NoteLength length) { length_ = length; }

    // Call just before sending `noteOn` (a 0x9n message) at `nowMs`: sends
    // the key's pending note-off first as send(TimedNoteOff{nowMs, off}) when
    // there is one, and with a fixed length and velocity > 0 schedules the
    // new note's off at nowMs + length. Does not send the note-on.
    template <class Send>
    void beforeNoteOn(int64_t nowMs, MidiMessage noteOn, Send&& send) {
        if (const std::optional<TimedNoteOff> old = strike(nowMs, noteOn)) send(*old);
    }

    // Sends, earliest first (equal times in the order struck), every note-off
    // due at or before `nowMs`, with its own due time, and forgets it.
    template <class Send>
    void sendDue(int64_t nowMs, Send&& send) {
        while (const std::optional<TimedNoteOff> off = takeDue(nowMs)) send(*off);
    }

    // Sends every pending note-off, earliest first (stop, a change of output).
    template <class Send>
    void sendAll(Send&& send) {
        sendDue(INT64_MAX, send);
    }

    // When the next note-off is due; nothing when none is pending.
    std::optional<int64_t> nextDueMs() const;
    bool empty() const { return pending_ == 0; }
    // Forgets every pending note-off without sending it.
    void clear();
    // Forgets the pending note-off of one key (released by other means).
    void forget(const MidiMessage& noteOff);

private:
    static constexpr int kKeys = 16 * 128;  // channel x 128 + note

    struct Entry {
        int64_t atMs;
        uint64_t order;  // strike order, breaks ties and marks the live entry of a key
        int16_t key;
        bool operator>(const Entry& o) const { return atMs != o.atMs ? atMs > o.atMs : order > o.order; }
    };

    std::optional<TimedNoteOff> strike(int64_t nowMs, MidiMessage noteOn);
    std::optional<TimedNoteOff> takeDue(int64_t nowMs);
    // Drops entries of the heap's top whose key was struck again or released.
    void dropStaleTop();
    static MidiMessage offOfKey(int key) { return noteOffMessage(key / 128, key % 128); }

    NoteLength length_;
    // Entries are not removed when their key is struck again; they are
    // skipped when they reach the top, which keeps every step O(log n).
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> heap_;
    std::vector<uint64_t> liveOrder_ = std::vector<uint64_t>(kKeys, 0);  // 0: nothing pending for the key
    uint64_t nextOrder_ = 1;
    int pending_ = 0;
};

}  // namespace cellsonify
