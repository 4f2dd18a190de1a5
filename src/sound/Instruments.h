#pragma once

#include "sound/MidiOutput.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace cellsonify {

// One of the instrument option buttons.
struct Instrument {
    std::string_view caption;  // the button's text
    int32_t program;           // General MIDI program number, 0-based
    bool repaintsViews;        // after choosing it the window redraws the keyboard, then the views
};

// The instrument options in the order the buttons appear.
inline constexpr std::array<Instrument, 7> kInstruments{{
    {"Piano", 0, true},
    {"Celesta", 9, true},
    {"Music Box", 11, true},
    {"Synth Bass", 38, true},
    {"Ice Rain", 96, true},
    {"Brightness", 100, false},
    {"Tinkle Bell", 112, true},
}};

// The instrument selected at start-up (Piano).
inline constexpr const Instrument& kDefaultInstrument = kInstruments[0];

// The instrument whose caption matches `name` ignoring case, spaces, '-' and '_'
// ("music-box", "MUSICBOX"), or whose program number `name` spells in decimal
// ("96"); nullptr when none does.
const Instrument* findInstrument(std::string_view name);

// The instrument with this program number, nullptr when none has it.
const Instrument* findInstrument(int32_t program);

// Sends the instrument's program change. Goes out whether sound is on or off,
// so the right instrument is ready when sound is switched on.
void sendInstrument(MidiOutput& output, const Instrument& instrument);

}  // namespace cellsonify
