#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cellsonify {

// One field of a data file as the loader consumes it.
struct Field {
    double value = 0;  // the field's number; 0 for a field that is not a number
    int line = 1;      // data-file line the field stands on (1-based)
};

// Turns a data file's bytes into the field sequence the loader reads:
//  - four leading fields that read as 0 (the header positions of the format
//    count them, so the frame count is field 10 and records start after 24);
//  - then the file's fields, separated by commas, blanks or tabs, with one
//    0-valued field for every line break (CR LF, LF or CR);
//  - then one closing 0-valued field, and then the end.
// A field reads as its leading number (sign, digits, fraction, exponent):
// "12abc" reads 12, "abc" and an empty field between two commas read 0, and a
// number beyond double range reads as +/- infinity. A UTF-8 byte-order mark at
// the very start is skipped.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes);

    // Reads the next field into `out`; false at the end (then `out` is untouched).
    bool next(Field& out) {
        // Inline fast path for the field that makes up almost all of a large
        // file: a short plain whole number ending at a blank, comma or line end.
        if (leadingLeft_ == 0) {
            const char* const data = bytes_.data();
            const char* const end = data + bytes_.size();
            const char* p = data + pos_;
            while (p < end && *p == ' ') ++p;
            const char* q = p;
            long long v = 0;
            while (q < end && static_cast<unsigned>(*q - '0') < 10 && q - p < 15) v = v * 10 + (*q++ - '0');
            if (q > p && (q == end || *q == ' ' || *q == ',' || *q == '\n' || *q == '\r' || *q == '\t')) {
                out = {static_cast<double>(v), line_};
                lastLine_ = line_;
                while (q < end && (*q == ' ' || *q == '\t' || *q == '\f' || *q == '\v')) ++q;
                if (q < end && *q == ',') ++q;
                pos_ = static_cast<std::size_t>(q - data);
                return true;
            }
        }
        return nextSlow(out);
    }
    // Bulk form of next() for the long frame lists of a large file: reads the
    // fields that are plain whole numbers from 1 to `most`, of at most six
    // digits, each followed by one space and a digit, into out[0..room) until
    // the first field that is not such, which is left for next(). Returns how
    // many it read. The values and lines are those next() would give.
    std::size_t nextWholeRun(int32_t most, int32_t* out, std::size_t room);
    // True once every field, the closing one included, has been read.
    bool atEnd() const { return closed_ && leadingLeft_ == 0; }
    // Line of the last field read (or 1 before any).
    int line() const { return lastLine_; }

private:
    bool nextSlow(Field& out);
    double parseToken(std::size_t begin, std::size_t end) const;

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int lastLine_ = 1;
    int leadingLeft_ = 4;
    bool closed_ = false;
};

}  // namespace cellsonify
