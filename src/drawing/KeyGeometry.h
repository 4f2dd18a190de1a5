#pragma once

#include <array>
#include <cstdint>

namespace cellsonify {

class Canvas;

// One key's lit area in keyboard units; bottom == 3 marks a black key.
struct KeyRectRow {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const KeyRectRow&) const = default;
};

// The key table: row = MIDI note number. Rows 1..144 are filled (twelve
// octaves read from D to C sharp); row 0 and rows above 144 stay zero.
class KeyRect {
public:
    static constexpr int kRows = 2001;
    // Fills rows 1..144; the same values on every call.
    void fill();
    // Row `row` (0..2000); throws std::out_of_range outside.
    const KeyRectRow& operator()(int row) const;
    static bool isBlack(const KeyRectRow& r) { return r.bottom == 3; }

private:
    std::array<KeyRectRow, kRows> rows_{};
};

// Fills `keys` and paints the resting keyboard: clear, then the 53 black keys
// of rows 1..128 as black boxes from y 0 to 3.
void DrawKeyboard(KeyRect& keys, Canvas& keyboard);

// Width and height of the keyboard view's user scale.
inline constexpr double kKeyboardScaleWidth = 7605.0 / 33.787838;
inline constexpr double kKeyboardScaleHeight = 6.0;

}  // namespace cellsonify
