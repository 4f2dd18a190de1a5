#pragma once

#include <stdexcept>
#include <vector>

namespace cellsonify {

// How cells are given notes.
enum class PitchMode {
    Rows,      // note = floor((127 - n) / 2 + cell); the middle 128 cells sound
    Scale,     // every cell sounds, the range's scale notes spread in row order
    Position,  // pitch by the cell's height on the map, pan by its X
};

// The scales a mapping snaps to.
enum class ScaleKind { Chromatic, Major, NaturalMinor, MajorPentatonic, MinorPentatonic, WholeTone };

// A mapping the user chose: the mode, and for scale and position the scale,
// its root and the range of MIDI notes it may use (both ends included).
struct PitchMapping {
    PitchMode mode = PitchMode::Rows;
    ScaleKind scale = ScaleKind::Major;
    int root = 0;   // pitch class 0..11, C = 0
    int low = 36;   // C2, with C4 = 60
    int high = 96;  // C7
    bool operator==(const PitchMapping&) const = default;
};

// A mapping, or the text of a mapping or note length, that cannot be used;
// what() names the text and what was expected, ready for the user.
class SoundMappingError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Semitones above the root of each step of `scale`, ascending from 0.
const std::vector<int>& scaleSteps(ScaleKind scale);

// Every MIDI note in low..high whose pitch class belongs to the scale on
// `root`, ascending. Empty when the range holds none.
std::vector<int> scaleNotesOf(const PitchMapping& mapping);

// Throws SoundMappingError when a scale or position mapping cannot sound:
// root outside 0..11, range outside 0..127 or upside down, or no scale note
// inside the range. Rows ignores the other fields and always passes.
void checkPitchMapping(const PitchMapping& mapping);

}  // namespace cellsonify
