#pragma once

#include "sound/MidiMessage.h"

#include <array>
#include <cstdint>
#include <vector>

namespace cellsonify {

// Notes one frame may start unless a setting says otherwise.
inline constexpr int kDefaultNotesPerFrame = 64;
inline constexpr int kLeastNotesPerFrame = 1;
// Every key of every channel: a budget this large never leaves a note out.
inline constexpr int kMostNotesPerFrame = 16 * 128;
// Velocity a merged note gains each time the count of its cells doubles.
inline constexpr int kVelocityStepPerDoubling = 6;

// The velocity of a note `cells` (>= 1) cells of one frame strike, the
// loudest of them at `loudest`: raised by kVelocityStepPerDoubling per
// doubling of the count, at most 127; 0 stays 0 (the end of a pass).
int mergedVelocity(int loudest, int cells);

// The note-ons of one frame, merged and cut to a budget. Cells that strike
// the same key (channel and note) become one note-on at mergedVelocity; when
// more keys than the budget are struck, those carrying the most cells win,
// then the loudest, then the one whose first cell came first. The notes kept
// go out in the order their first cells came, so a frame within the budget
// whose cells all have keys of their own sends exactly what it was given.
class FrameNotes {
public:
    FrameNotes();

    // Forgets the previous frame.
    void clear();
    // One cell's note-on (a 0x9n message), cells in the order they sound.
    void add(const MidiMessage& noteOn);
    // The note-ons to send, at most `budget` (>= 1) of them, in first-cell order.
    const std::vector<MidiMessage>& choose(int budget);

    // Cells added since clear().
    int cells() const { return cells_; }
    // Distinct keys they struck.
    int keys() const { return static_cast<int>(keys_.size()); }
    // Keys choose() left out.
    int dropped() const { return dropped_; }

private:
    struct Key {
        MidiMessage first;  // the first cell's note-on
        int cells = 0;
        int loudest = 0;
    };
    std::vector<Key> keys_;                  // in first-cell order
    std::array<int32_t, 16 * 128> slot_{};   // channel x 128 + note -> index in keys_ + 1; 0: not struck
    std::vector<int> ranked_;
    std::vector<MidiMessage> chosen_;
    int cells_ = 0;
    int dropped_ = 0;
};

}  // namespace cellsonify
