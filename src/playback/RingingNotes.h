#pragma once

#include "sound/MidiMessage.h"

#include <array>
#include <cstdint>
#include <vector>

namespace cellsonify {

// Ringing keys a pass lets stand per note a frame may start: past twice the
// budget the oldest are released. One channel of 128 keys under the default
// budget is never cut short.
inline constexpr int kRingingNotesPerBudgetNote = 2;

// The keys (channel and note) struck and not yet released, oldest strike
// first, so a pass can release the oldest when too many would ring at once.
class RingingNotes {
public:
    RingingNotes();

    // Follows a message as it goes out: a note-on with velocity > 0 makes its
    // key the newest ringing one, a note-off or velocity-0 note-on ends it.
    void observe(const MidiMessage& message);
    int count() const { return count_; }
    bool ringing(int channel, int note) const { return linked(channel * 128 + note); }

    // Before `coming` (note-ons about to go out) are struck: sends, oldest
    // first, send(noteOff) for ringing keys not among them until no more than
    // `most` keys will ring once they are, and forgets them. Returns how many.
    template <class Send>
    int makeRoom(const std::vector<MidiMessage>& coming, int most, Send&& send) {
        int fresh = 0;
        for (const MidiMessage& on : coming)
            if (on.data2 > 0 && !linked(keyOf(on))) ++fresh;
        int released = 0;
        for (int key = head_; key >= 0 && count_ + fresh > most;) {
            const int next = next_[static_cast<std::size_t>(key)];
            if (!isComing(key, coming)) {
                unlink(key);
                send(noteOffMessage(key / 128, key % 128));
                ++released;
            }
            key = next;
        }
        return released;
    }

private:
    static constexpr int kKeys = 16 * 128;
    static int keyOf(const MidiMessage& m) { return (m.status & 0x0F) * 128 + (m.data1 & 0x7F); }
    static bool isComing(int key, const std::vector<MidiMessage>& coming);
    bool linked(int key) const { return prev_[static_cast<std::size_t>(key)] != kOut; }
    void unlink(int key);
    void append(int key);

    static constexpr int16_t kOut = -2;  // prev_ of a key not ringing; -1 ends the list
    std::array<int16_t, kKeys> prev_;
    std::array<int16_t, kKeys> next_;
    int head_ = -1;  // oldest
    int tail_ = -1;  // newest
    int count_ = 0;
};

}  // namespace cellsonify
