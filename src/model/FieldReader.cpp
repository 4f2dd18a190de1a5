#include "model/FieldReader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace cellsonify {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
bool isBreak(char c) { return c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Power of ten of the first significant digit of the decimal number in [p, m)
// (digits, optional fraction, optional exponent; at least one digit): about
// log10 of its value. Only its sign matters to the caller, for numbers out of
// double range, which lie hundreds of powers away from 0, so the exponent may
// saturate. A number made of zeros only returns 0.
long long decimalExponent(const char* p, const char* m) {
    long long integerDigits = 0;    // digits before the point
    long long fractionDigits = 0;   // digits after it
    long long firstInteger = -1;    // index of the first significant digit before the point
    long long firstFraction = 0;    // else its place after the point, from 1
    bool point = false;
    const char* d = p;
    for (; d < m && *d != 'e' && *d != 'E'; ++d) {
        if (*d == '.') {
            point = true;
        } else if (!point) {
            if (firstInteger < 0 && *d != '0') firstInteger = integerDigits;
            ++integerDigits;
        } else {
            ++fractionDigits;
            if (firstInteger < 0 && firstFraction == 0 && *d != '0') firstFraction = fractionDigits;
        }
    }
    if (firstInteger < 0 && firstFraction == 0) return 0;
    const long long power = firstInteger >= 0 ? integerDigits - 1 - firstInteger : -firstFraction;
    long long exponent = 0;
    if (d < m) {
        ++d;
        const bool negative = d < m && *d == '-';
        if (d < m && (*d == '+' || *d == '-')) ++d;
        for (; d < m; ++d) exponent = std::min<long long>(exponent * 10 + (*d - '0'), 1LL << 40);
        if (negative) exponent = -exponent;
    }
    return power + exponent;
}
}  // namespace

FieldReader::FieldReader(std::string_view bytes) : bytes_(bytes) {
    if (bytes_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

bool FieldReader::nextSlow(Field& out) {
    if (leadingLeft_ > 0) {
        --leadingLeft_;
        out = {0, 1};
        lastLine_ = 1;
        return true;
    }
    const std::size_t n = bytes_.size();
    while (pos_ < n && isBlank(bytes_[pos_])) ++pos_;
    if (pos_ >= n) {
        if (closed_) return false;
        closed_ = true;
        out = {0, line_};
        lastLine_ = line_;
        return true;
    }
    const char c = bytes_[pos_];
    if (isBreak(c)) {
        ++pos_;
        if (c == '\r' && pos_ < n && bytes_[pos_] == '\n') ++pos_;
        out = {0, line_};
        lastLine_ = line_;
        ++line_;
        return true;
    }
    const std::size_t begin = pos_;
    while (pos_ < n && bytes_[pos_] != ',' && !isBlank(bytes_[pos_]) && !isBreak(bytes_[pos_])) ++pos_;
    out = {parseToken(begin, pos_), line_};
    lastLine_ = line_;
    // The comma (if any) after a field and the blanks around it belong to that field.
    while (pos_ < n && isBlank(bytes_[pos_])) ++pos_;
    if (pos_ < n && bytes_[pos_] == ',') ++pos_;
    return true;
}

std::size_t FieldReader::nextWholeRun(int32_t most, int32_t* out, std::size_t room) {
    if (leadingLeft_ != 0) return 0;
    // Eight bytes at a time: a field of one to six digits, its space and the
    // next field's first digit all lie within one little-endian word.
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    const char* const end = bytes_.data() + bytes_.size();
    const char* p = bytes_.data() + pos_;
    std::size_t n = 0;
    while (n < room && end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        // A byte is a digit when both it and it plus 6 have 3 as their high
        // nibble; a carry out of a byte of 0xFA or more only disturbs the bytes
        // after that one, which is not a digit anyway.
        const uint64_t nonDigit = ((w & (0xF0 * kOnes)) ^ (0x30 * kOnes)) |
                                  (((w + 0x06 * kOnes) & (0xF0 * kOnes)) ^ (0x30 * kOnes));
        if (nonDigit == 0) break;
        const int digits = std::countr_zero(nonDigit) >> 3;
        if (digits == 0 || digits > 6 || ((w >> (8 * digits)) & 0xFF) != ' ' ||
            ((nonDigit >> (8 * (digits + 1))) & 0xFF) != 0)
            break;
        // The digits moved to the top of the word, behind zero bytes, then
        // combined in pairs, fours and eights.
        const int shift = 64 - 8 * digits;
        uint64_t x = (w << shift) - ((0x30 * kOnes) << shift);
        x = x * 10 + (x >> 8);
        x = (((x & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
             (((x >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >> 32;
        const auto value = static_cast<int32_t>(x);
        if (value < 1 || value > most) break;
        out[n++] = value;
        p += digits + 1;
    }
    if (n > 0) {
        pos_ = static_cast<std::size_t>(p - bytes_.data());
        lastLine_ = line_;
    }
    return n;
}

double FieldReader::parseToken(std::size_t begin, std::size_t end) const {
    const char* p = bytes_.data() + begin;
    const char* e = bytes_.data() + end;
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Fast path: plain whole numbers, by far the most common field.
    const char* q = p;
    long long whole = 0;
    while (q < e && isDigit(*q) && q - p < 15) whole = whole * 10 + (*q++ - '0');
    if (q > p && (q == e || (!isDigit(*q) && *q != '.' && *q != 'e' && *q != 'E')))
        return negative ? -static_cast<double>(whole) : static_cast<double>(whole);

    // General case: the longest leading decimal number.
    const char* m = p;
    bool digits = false;
    while (m < e && isDigit(*m)) ++m, digits = true;
    if (m < e && *m == '.') {
        ++m;
        while (m < e && isDigit(*m)) ++m, digits = true;
    }
    if (!digits) return 0;
    if (m < e && (*m == 'e' || *m == 'E')) {
        const char* x = m + 1;
        if (x < e && (*x == '+' || *x == '-')) ++x;
        if (x < e && isDigit(*x)) {
            while (x < e && isDigit(*x)) ++x;
            m = x;
        }
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(p, m, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large reads as infinity; too small (1e-400) as zero.
        value = decimalExponent(p, m) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0;
    }
    (void)ptr;
    return negative ? -value : value;
}

}  // namespace cellsonify
