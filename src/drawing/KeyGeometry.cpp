#include "drawing/KeyGeometry.h"

#include "drawing/Canvas.h"
#include "drawing/Palette.h"

#include <stdexcept>

namespace cellsonify {

namespace {
// Offsets within an octave of 21 units, in row order k = 1..12 (D to C sharp).
struct KeyShape {
    int left, top, right, bottom;
};
constexpr KeyShape kOctave[12] = {
    {0, 4, 3, 6},   {2, 1, 4, 3},   {3, 4, 6, 6},   {6, 4, 9, 6},
    {8, 1, 10, 3},  {9, 4, 12, 6},  {11, 1, 13, 3}, {12, 4, 15, 6},
    {14, 1, 16, 3}, {15, 4, 18, 6}, {18, 4, 21, 6}, {20, 1, 22, 3},
};
}  // namespace

void KeyRect::fill() {
    for (int octave = 0; octave < 12; ++octave) {
        const int x = 7 * (3 * octave);
        for (int k = 1; k <= 12; ++k) {
            const KeyShape& s = kOctave[k - 1];
            rows_[12 * octave + k] = {static_cast<int16_t>(x + s.left), static_cast<int16_t>(s.top),
                                      static_cast<int16_t>(x + s.right), static_cast<int16_t>(s.bottom)};
        }
    }
}

const KeyRectRow& KeyRect::operator()(int row) const {
    if (row < 0 || row >= kRows) throw std::out_of_range("key row out of range");
    return rows_[row];
}

void DrawKeyboard(KeyRect& keys, Canvas& keyboard) {
    keys.fill();
    keyboard.clear();
    for (int r = 1; r <= 128; ++r) {
        const KeyRectRow& k = keys(r);
        if (KeyRect::isBlack(k)) keyboard.filledBox(k.left, 0, k.right, 3, kBlack);
    }
}

}  // namespace cellsonify
