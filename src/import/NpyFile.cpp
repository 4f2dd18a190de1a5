#include "import/NpyFile.h"

#include "import/ImportError.h"
#include "import/PathCheck.h"
#include "model/DataFileLoader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cellsonify {

NpyFile::NpyFile(const std::string& path) : name_(baseName(path)) {
    requireRegularFile(path, name_);  // a FIFO or device is never opened
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) throw ImportError(name_, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw ImportError(name_, "is not an ordinary file");
    }
    const auto fileBytes = static_cast<std::size_t>(st.st_size);
    try {
        // The header lies within its first 64 KiB (a version 2 header may be longer; none is in practice).
        std::vector<char> head(std::min<std::size_t>(fileBytes, 65536 + 12));
        readBytes(head.data(), head.size(), 0);
        header_ = parseNpyHeader(std::string_view(head.data(), head.size()), name_);
        if (header_.type.kind == 'O') throw ImportError(name_, "holds Python objects, not numbers");
        const std::size_t n = header_.elementCount();
        const std::size_t available = fileBytes - std::min(fileBytes, header_.dataOffset);
        if (n > available / static_cast<std::size_t>(header_.type.size))
            throw ImportError(name_, "the file ends early: the shape needs " + std::to_string(n) + " values");
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

NpyFile::~NpyFile() {
    if (fd_ >= 0) ::close(fd_);
}

void NpyFile::readBytes(char* into, std::size_t bytes, std::size_t offset) const {
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::pread(fd_, into + got, bytes - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw ImportError(name_, std::string("cannot be read: ") + std::strerror(errno));
        if (n == 0) throw ImportError(name_, "the file ends early: it was cut short while being read");
        got += static_cast<std::size_t>(n);
    }
}

void NpyFile::readRows(std::size_t row, std::size_t n, std::size_t first, std::size_t count, double* out) const {
    if (n == 0 || count == 0) return;
    const NpyType& t = header_.type;
    const auto size = static_cast<std::size_t>(t.size);
    const std::size_t rows = this->rows(), columns = this->columns();
    std::vector<char> bytes;
    if (!header_.fortranOrder) {
        // Whole rows lie end to end: one read; else one read per row.
        const bool whole = first == 0 && count == columns;
        bytes.resize((whole ? n * columns : count) * size);
        const bool plainFloats = t.kind == 'f' && t.size == 4 && t.bigEndian == (std::endian::native == std::endian::big);
        for (std::size_t i = 0; i < (whole ? 1 : n); ++i) {
            readBytes(bytes.data(), bytes.size(), header_.dataOffset + ((row + i) * columns + first) * size);
            double* const to = out + i * count;
            const std::size_t values = bytes.size() / size;
            if (plainFloats) {
                // The common case (suite2p's float32 traces) as one tight loop.
                for (std::size_t j = 0; j < values; ++j) {
                    float v;
                    std::memcpy(&v, bytes.data() + 4 * j, 4);
                    to[j] = v;
                }
            } else {
                for (std::size_t j = 0; j < values; ++j) to[j] = npyElement(bytes.data(), t, j);
            }
        }
        return;
    }
    // Column-major: the rows of one column lie end to end.
    bytes.resize(n * size);
    for (std::size_t j = 0; j < count; ++j) {
        readBytes(bytes.data(), bytes.size(), header_.dataOffset + ((first + j) * rows + row) * size);
        for (std::size_t i = 0; i < n; ++i) out[i * count + j] = npyElement(bytes.data(), t, i);
    }
}

}  // namespace cellsonify
