#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cellsonify {

// Number texts typed by the user, read the same way in every locale.
//
// Accepted: optional blanks (spaces, tabs), an optional '+' or '-', digits with
// an optional '.' and fraction (at least one digit overall: "5", "5.", ".5"),
// an optional exponent ('e' or 'E', optional sign, digits), optional blanks.
// Refused: anything else, including "", "inf", "nan", hex, thousands
// separators, a ',' decimal point, and magnitudes a double cannot hold
// ("1e400", "1e-400").

// The value of `text`, or nothing when it is not a number as described above.
std::optional<double> parseNumber(std::string_view text);

// `x` rounded to the nearest integer, halves to the even neighbour (0.5 -> 0,
// 1.5 -> 2, 2.5 -> 2, -0.5 -> -0). Infinities and NaN come back unchanged.
double roundHalfEven(double x);

// `text` as a number rounded half-to-even, or nothing when it is not a number
// or the rounded value lies outside the 32-bit signed range ("1e10").
std::optional<int32_t> parseInt32(std::string_view text);

}  // namespace cellsonify
