#include "model/DataFileLoader.h"

#include "model/CellPositions.h"
#include "model/FieldReader.h"
#include "model/NumberWriting.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cellsonify {

namespace {

constexpr int kHeaderFields = 24;     // leading fields before the first record
constexpr int kFrameCountField = 10;  // the header field that holds the frame count
constexpr long long kLargestFile = 1LL << 30;

std::string formatNumber(double v) {
    if (std::isinf(v)) return v > 0 ? "a number too large" : "a number too small";
    return numberText(v, 15);
}

// "<what> <value>" for a message that goes on after the value; a value too
// large to read has no digits to show, so it is described in brackets instead
// ("level (a number too large) is above 32767").
std::string naming(const std::string& what, double v) {
    std::string text = what;
    text += std::isinf(v) ? " (" : " ";
    text += formatNumber(v);
    if (std::isinf(v)) text += ')';
    return text;
}

// Whole-number conversion of a field: nearest, ties to even.
double roundHalfEven(double v) {
    // Most fields are whole already; skip the library call for them.
    if (v > -1e15 && v < 1e15 && static_cast<double>(static_cast<long long>(v)) == v) return v;
    return std::nearbyint(v);
}

class Parser {
public:
    Parser(std::string_view bytes, const std::string& path)
        : reader_(bytes), path_(path), name_(baseName(path)) {
        // Every listed frame takes at least two bytes ("5 ").
        activity_.reserve(bytes.size() / 2);
    }

    CellModel run();

private:
    [[noreturn]] void fail(int line, const std::string& problem) const {
        throw DataFileError(name_, line, problem);
    }
    // Next field; the end of the file here is an error saying what was expected.
    Field require(const char* expected) {
        Field f;
        if (!reader_.next(f)) fail(reader_.line(), std::string("the file ends early: ") + expected + " expected");
        return f;
    }
    void readHeader(CellModel& model);
    void readFrameList(bool kept, int cell);
    void takeFrameRun(bool kept);

    FieldReader reader_;
    ActivityBuilder activity_;
    std::string path_;
    std::string name_;
};

CellModel Parser::run() {
    CellModel model;
    model.DataFile = path_;
    readHeader(model);

    int cells = 0;
    while (!reader_.atEnd()) {
        Field f;
        if (!reader_.next(f)) break;   // the cell identifier: read and ignored
        if (!reader_.next(f)) break;   // X: the end of the file here ends the data
        const double x = f.value;
        if (x == 0) break;             // an X of 0 ends the data
        if (!std::isfinite(x)) fail(f.line, "the X position is " + formatNumber(x));
        const Field y = require("the cell's Y position");
        if (!std::isfinite(y.value)) fail(y.line, "the Y position is " + formatNumber(y.value));
        const Field lv = require("the cell's level");
        const double level = roundHalfEven(lv.value);
        const bool kept = level >= 1;
        if (kept) {
            if (cells >= kMaxCellIndex) fail(lv.line, "more than 1500 active cells");
            if (level > 32767) fail(lv.line, naming("level", lv.value) + " is above 32767");
            ++cells;
            activity_.beginCell(static_cast<int16_t>(level));
            model.CellPos.push_back({x, y.value});
        }
        readFrameList(kept, cells);
    }
    model.CellCount = static_cast<int32_t>(cells);
    model.Activity = activity_.finish();
    normaliseCellPositions(model);
    return model;
}

void Parser::readHeader(CellModel& model) {
    for (int position = 1; position <= kHeaderFields; ++position) {
        Field f;
        if (!reader_.next(f))
            fail(reader_.line(), "the file ends inside its header (" + std::to_string(kHeaderFields - 4) +
                                     " header values expected, a line break counting as one)");
        if (position == kFrameCountField) {
            const double frames = roundHalfEven(f.value);
            if (frames > kMaxFrameIndex)
                fail(f.line, naming("the frame count", f.value) + " is above 100000");
            if (frames < 0) fail(f.line, naming("the frame count", f.value) + " is negative");
            model.FrameCount = static_cast<int32_t>(frames);
        }
    }
}

void Parser::readFrameList(bool kept, int cell) {
    Field f;
    if (!reader_.next(f)) return;
    double v = roundHalfEven(f.value);
    // A single leading value of 0 or less (the line break after the cell's
    // values) is skipped; a second one ends an empty list.
    if (v <= 0) {
        if (!reader_.next(f)) return;
        v = roundHalfEven(f.value);
    }
    while (v >= 1) {
        if (kept) {
            if (v > kMaxFrameIndex)
                fail(f.line, naming("frame", f.value) + " of cell " + std::to_string(cell) +
                                 " is above 100000");
            activity_.addFrame(static_cast<int32_t>(v));
        }
        takeFrameRun(kept);
        if (!reader_.next(f)) return;
        v = roundHalfEven(f.value);
    }
}

// The plain frames that follow, in bulk: what the loop above would do with
// them, as long as they are frames in range.
void Parser::takeFrameRun(bool kept) {
    constexpr std::size_t kRun = 4096;
    if (kept) {
        for (;;) {
            int32_t* const room = activity_.frameRoom(kRun);
            const std::size_t taken = reader_.nextWholeRun(kMaxFrameIndex, room, kRun);
            activity_.keepFrames(kRun - taken);
            if (taken < kRun) return;
        }
    }
    // A cell left out still has its list read to its end, at any value.
    int32_t ignored[kRun];
    while (reader_.nextWholeRun(std::numeric_limits<int32_t>::max(), ignored, kRun) == kRun) {
    }
}

// The name a file-level refusal shows: the base name, or for a path that ends
// in a separator ("runs/") the last name before it, so the message still says
// which item was refused.
std::string nameInMessages(const std::string& path) {
    const auto end = path.find_last_not_of("/\\");
    return end == std::string::npos ? path : baseName(path.substr(0, end + 1));
}

// The bytes of a data file: mapped when it has a size (no copy, pages
// populated in one go), read into memory otherwise (files of /proc report 0).
class FileBytes {
public:
    explicit FileBytes(const std::string& path) {
        const std::string name = nameInMessages(path);
        if (path.empty()) throw DataFileError(name, 0, "no file name given");
        // Non-blocking so that a pipe without a writer cannot hang the open; the
        // flag has no effect on reading a regular file, the only kind read.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) throw DataFileError(name, 0, std::string("cannot be opened: ") + std::strerror(errno));
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int err = errno;
            ::close(fd);
            throw DataFileError(name, 0, std::string("cannot be read: ") + std::strerror(err));
        }
        if (S_ISDIR(st.st_mode)) {
            ::close(fd);
            throw DataFileError(name, 0, "is a folder, not a data file");
        }
        // Pipes and devices may never end (/dev/zero) or wait forever for a
        // writer; a recording is always saved to an ordinary file.
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            throw DataFileError(name, 0, "is a device, pipe or socket, not a data file");
        }
        if (st.st_size > kLargestFile) {
            ::close(fd);
            throw DataFileError(name, 0, "is larger than 1 GB, too large for a data file");
        }
        readAll(fd, name, static_cast<std::size_t>(st.st_size));
    }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view view() const { return {bytes_.data(), size_}; }

private:
    // Read, not mapped: a file that another program truncates while we load it
    // would fault a mapping; a read just sees the shorter file. The buffer sits
    // on huge pages and is not zeroed first, so this costs little over a map.
    void readAll(int fd, const std::string& name, std::size_t expected) {
        bytes_.resize(expected + 1);
        for (;;) {
            if (size_ == bytes_.size()) bytes_.resize(bytes_.size() * 2);  // the file grew meanwhile
            const ssize_t got = ::read(fd, bytes_.data() + size_, bytes_.size() - size_);
            if (got < 0) {
                if (errno == EINTR) continue;
                const int err = errno;
                ::close(fd);
                throw DataFileError(name, 0, std::string("cannot be read: ") + std::strerror(err));
            }
            if (got == 0) break;
            size_ += static_cast<std::size_t>(got);
            if (size_ > static_cast<std::size_t>(kLargestFile)) {
                ::close(fd);
                throw DataFileError(name, 0, "is larger than 1 GB, too large for a data file");
            }
        }
        ::close(fd);
    }

    std::vector<char, BigAllocator<char>> bytes_;
    std::size_t size_ = 0;
};

std::string composeMessage(const std::string& fileName, int line, const std::string& problem) {
    if (line > 0) return fileName + ", line " + std::to_string(line) + ": " + problem;
    return fileName + ": " + problem;
}

}  // namespace

DataFileError::DataFileError(std::string fileName, int line, const std::string& problem)
    : std::runtime_error(composeMessage(fileName, line, problem)), fileName_(std::move(fileName)), line_(line) {}

std::string baseName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string captionFor(const std::string& path) {
    return " " + baseName(path) + " (non-active cells are omitted)";
}

CellModel LoadDataFileFromBytes(std::string_view bytes, const std::string& path) {
    // An editor's "Unicode" save puts a NUL beside every character, and every
    // field would read as 0: the file would load as an empty recording without
    // a word. Its byte-order mark gives it away.
    const std::string_view start = bytes.substr(0, 2);
    if (start == "\xFF\xFE" || start == "\xFE\xFF")
        throw DataFileError(baseName(path), 0, "is UTF-16 text; save it as plain (UTF-8) text to load it");
    return Parser(bytes, path).run();
}

CellModel LoadDataFile(const std::string& path) {
    const FileBytes bytes(path);
    return LoadDataFileFromBytes(bytes.view(), path);
}

}  // namespace cellsonify
