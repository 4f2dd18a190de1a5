#pragma once

#include <string>

namespace cellsonify {

// `v` as a person writes it, in at most `digits` significant digits (printf's
// %g: 99, 1.5, 2.5e-07, nan, inf), whatever the locale's decimal point: for
// messages, labels and tooltips.
std::string numberText(double v, int digits);

}  // namespace cellsonify
