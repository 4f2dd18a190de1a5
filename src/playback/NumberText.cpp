#include "playback/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace cellsonify {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// True when `s` (no sign, no blanks) is digits[.digits][e[sign]digits] with
// at least one mantissa digit. from_chars alone would also take "inf", "nan"
// and stop early on trailing junk, which a typed speed must not get away with.
bool isPlainDecimal(std::string_view s) {
    std::size_t k = 0;
    std::size_t mantissaDigits = 0;
    while (k < s.size() && isDigit(s[k])) ++k, ++mantissaDigits;
    if (k < s.size() && s[k] == '.') {
        ++k;
        while (k < s.size() && isDigit(s[k])) ++k, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (k < s.size() && (s[k] == 'e' || s[k] == 'E')) {
        ++k;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        std::size_t exponentDigits = 0;
        while (k < s.size() && isDigit(s[k])) ++k, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return k == s.size();
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (!isPlainDecimal(s)) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return negative ? -value : value;
}

double roundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    const double below = std::floor(x);
    const double fraction = x - below;  // exact for every finite double
    if (fraction < 0.5) return below;
    if (fraction > 0.5) return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<int32_t> parseInt32(std::string_view text) {
    const std::optional<double> value = parseNumber(text);
    if (!value) return std::nullopt;
    const double rounded = roundHalfEven(*value);
    if (rounded < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

}  // namespace cellsonify
