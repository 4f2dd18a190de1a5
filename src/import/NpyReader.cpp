#include "import/NpyReader.h"

#include "import/ImportError.h"
#include "import/PathCheck.h"
#include "model/DataFileLoader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace cellsonify {

namespace {

constexpr std::string_view kMagic = "\x93NUMPY";

[[noreturn]] void fail(const std::string& name, const std::string& problem) { throw ImportError(name, problem); }

// A cursor over the header's Python dict literal, e.g.
// {'descr': '<f4', 'fortran_order': False, 'shape': (3, 4), }
class HeaderText {
public:
    HeaderText(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) ++pos_;
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!accept(c)) fail(name_, std::string("the header is not a valid array description ('") + c + "' expected)");
    }
    std::string quoted() {
        skipBlanks();
        if (pos_ >= text_.size() || (text_[pos_] != '\'' && text_[pos_] != '"'))
            fail(name_, "the header is not a valid array description (a quoted name expected)");
        const char quote = text_[pos_++];
        const auto end = text_.find(quote, pos_);
        if (end == std::string_view::npos) fail(name_, "the header ends inside a quoted name");
        std::string s(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return s;
    }
    bool boolean() {
        skipBlanks();
        if (text_.substr(pos_, 4) == "True") return pos_ += 4, true;
        if (text_.substr(pos_, 5) == "False") return pos_ += 5, false;
        fail(name_, "the header's fortran_order is neither True nor False");
    }
    std::size_t whole() {
        skipBlanks();
        std::size_t v = 0;
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            const std::size_t digit = static_cast<std::size_t>(text_[pos_] - '0');
            if (v > (std::numeric_limits<std::size_t>::max() - digit) / 10) fail(name_, "the header's shape is too large");
            v = v * 10 + digit;
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == 'L') ++pos_;  // written by Python 2
        if (pos_ == begin) fail(name_, "the header's shape is not a tuple of whole numbers");
        return v;
    }

private:
    std::string_view text_;
    const std::string& name_;
    std::size_t pos_ = 0;
};

template <typename T>
T load(const char* p, bool bigEndian) {
    T v;
    std::memcpy(&v, p, sizeof v);
    if (bigEndian != (std::endian::native == std::endian::big)) {
        if constexpr (sizeof(T) == 2) {
            uint16_t u;
            std::memcpy(&u, &v, 2);
            u = __builtin_bswap16(u);
            std::memcpy(&v, &u, 2);
        } else if constexpr (sizeof(T) == 4) {
            uint32_t u;
            std::memcpy(&u, &v, 4);
            u = __builtin_bswap32(u);
            std::memcpy(&v, &u, 4);
        } else if constexpr (sizeof(T) == 8) {
            uint64_t u;
            std::memcpy(&u, &v, 8);
            u = __builtin_bswap64(u);
            std::memcpy(&v, &u, 8);
        }
    }
    return v;
}

}  // namespace

std::size_t NpyHeader::elementCount() const {
    std::size_t n = 1;
    for (std::size_t d : shape) {
        if (d != 0 && n > std::numeric_limits<std::size_t>::max() / d) return std::numeric_limits<std::size_t>::max();
        n *= d;
    }
    return n;
}

NpyType parseNpyType(std::string_view descr, const std::string& name) {
    NpyType t;
    if (descr.size() < 2) fail(name, "unsupported element type '" + std::string(descr) + "'");
    const char order = descr[0];
    if (order != '<' && order != '>' && order != '|' && order != '=')
        fail(name, "unsupported element type '" + std::string(descr) + "'");
    t.bigEndian = order == '>' || (order == '=' && std::endian::native == std::endian::big);
    t.kind = descr[1];
    const std::string_view size = descr.substr(2);
    if (t.kind == 'O' && (size.empty() || size == "8")) {
        t.size = 8;
        return t;
    }
    if (size == "1") t.size = 1;
    else if (size == "2") t.size = 2;
    else if (size == "4") t.size = 4;
    else if (size == "8") t.size = 8;
    else fail(name, "unsupported element type '" + std::string(descr) + "'");
    const bool ok = (t.kind == 'f' && t.size >= 4) || t.kind == 'i' || t.kind == 'u' || (t.kind == 'b' && t.size == 1);
    if (!ok) fail(name, "unsupported element type '" + std::string(descr) + "'");
    return t;
}

double npyElement(const char* data, const NpyType& t, std::size_t i) {
    const char* p = data + i * static_cast<std::size_t>(t.size);
    switch (t.kind) {
    case 'f': return t.size == 4 ? load<float>(p, t.bigEndian) : load<double>(p, t.bigEndian);
    case 'b': return *p != 0 ? 1 : 0;
    case 'i':
        switch (t.size) {
        case 1: return static_cast<int8_t>(*p);
        case 2: return load<int16_t>(p, t.bigEndian);
        case 4: return load<int32_t>(p, t.bigEndian);
        default: return static_cast<double>(load<int64_t>(p, t.bigEndian));
        }
    default:
        switch (t.size) {
        case 1: return static_cast<uint8_t>(*p);
        case 2: return load<uint16_t>(p, t.bigEndian);
        case 4: return load<uint32_t>(p, t.bigEndian);
        default: return static_cast<double>(load<uint64_t>(p, t.bigEndian));
        }
    }
}

NpyHeader parseNpyHeader(std::string_view bytes, const std::string& name) {
    if (bytes.size() < 10 || bytes.substr(0, 6) != kMagic) fail(name, "is not a NumPy .npy file");
    const int major = static_cast<unsigned char>(bytes[6]);
    std::size_t length = 0, start = 0;
    if (major == 1) {
        length = static_cast<unsigned char>(bytes[8]) | (static_cast<std::size_t>(static_cast<unsigned char>(bytes[9])) << 8);
        start = 10;
    } else if (major == 2 || major == 3) {
        if (bytes.size() < 12) fail(name, "the file ends inside its header");
        for (int i = 3; i >= 0; --i) length = (length << 8) | static_cast<unsigned char>(bytes[8 + i]);
        start = 12;
    } else {
        fail(name, "has .npy format version " + std::to_string(major) + "; versions 1 to 3 are read");
    }
    if (length > bytes.size() - start) fail(name, "the file ends inside its header");

    NpyHeader h;
    h.dataOffset = start + length;
    HeaderText text(bytes.substr(start, length), name);
    bool haveDescr = false, haveOrder = false, haveShape = false;
    text.expect('{');
    while (!text.accept('}')) {
        const std::string key = text.quoted();
        text.expect(':');
        if (key == "descr") {
            h.type = parseNpyType(text.quoted(), name);
            haveDescr = true;
        } else if (key == "fortran_order") {
            h.fortranOrder = text.boolean();
            haveOrder = true;
        } else if (key == "shape") {
            text.expect('(');
            while (!text.accept(')')) {
                h.shape.push_back(text.whole());
                if (h.shape.size() > 32) fail(name, "the header's shape has more than 32 dimensions");
                if (!text.accept(',')) {
                    text.expect(')');
                    break;
                }
            }
            haveShape = true;
        } else {
            fail(name, "the header has an unknown key '" + key + "'");
        }
        if (!text.accept(',')) {
            text.expect('}');
            break;
        }
    }
    if (!haveDescr || !haveOrder || !haveShape) fail(name, "the header lacks descr, fortran_order or shape");
    return h;
}

void NpyArray::check(const std::string& name) const {
    if (header_.type.kind == 'O') fail(name, "holds Python objects, not numbers");
    const std::size_t n = header_.elementCount();
    const std::size_t available = bytes_.size() - header_.dataOffset;
    if (n > available / static_cast<std::size_t>(header_.type.size))
        fail(name, "the file ends early: the shape needs " + std::to_string(n) + " values");
}

NpyArray NpyArray::fromBytes(std::string_view bytes, const std::string& name) {
    NpyArray a;
    a.header_ = parseNpyHeader(bytes, name);
    a.bytes_.assign(bytes.begin(), bytes.end());
    a.check(name);
    return a;
}

NpyArray NpyArray::fromFile(const std::string& path) {
    NpyArray a;
    a.bytes_ = readWholeFile(path);
    const std::string name = baseName(path);
    a.header_ = parseNpyHeader(std::string_view(a.bytes_.data(), a.bytes_.size()), name);
    a.check(name);
    return a;
}

double NpyArray::at(std::size_t row, std::size_t column) const {
    const char* data = bytes_.data() + header_.dataOffset;
    if (header_.shape.size() < 2) return npyElement(data, header_.type, row);
    const std::size_t rows = header_.shape[0], columns = header_.shape[1];
    const std::size_t index = header_.fortranOrder ? row + column * rows : row * columns + column;
    return npyElement(data, header_.type, index);
}

void NpyArray::copyRow(std::size_t row, std::size_t first, std::size_t count, double* out) const {
    const char* data = bytes_.data() + header_.dataOffset;
    const NpyType& t = header_.type;
    const std::size_t rows = header_.shape[0], columns = header_.shape[1];
    if (!header_.fortranOrder && t.kind == 'f' && t.size == 4 && !t.bigEndian &&
        std::endian::native == std::endian::little) {
        // The common case (suite2p's float32 traces) as one tight loop.
        const char* p = data + (row * columns + first) * 4;
        for (std::size_t i = 0; i < count; ++i) {
            float v;
            std::memcpy(&v, p + 4 * i, 4);
            out[i] = v;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t c = first + i;
        out[i] = npyElement(data, t, header_.fortranOrder ? row + c * rows : row * columns + c);
    }
}

std::vector<char, BigAllocator<char>> readWholeFile(const std::string& path, std::size_t most) {
    const std::string name = baseName(path);
    requireRegularFile(path, name);  // a FIFO or device is never opened
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) fail(name, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(name, "is not an ordinary file");
    }
    std::vector<char, BigAllocator<char>> bytes(std::min(static_cast<std::size_t>(st.st_size), most));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            fail(name, std::string("cannot be read: ") + std::strerror(err));
        }
        if (n == 0) break;  // shrank meanwhile
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

}  // namespace cellsonify
