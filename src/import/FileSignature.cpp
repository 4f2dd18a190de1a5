#include "import/FileSignature.h"

#include "import/PathCheck.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cellsonify {

namespace {

constexpr char kHdf5[] = "\x89HDF\r\n\x1a\n";
constexpr char kNumPy[] = "\x93NUMPY";
constexpr std::size_t kHdf5Size = sizeof kHdf5 - 1;
constexpr std::size_t kNumPySize = sizeof kNumPy - 1;

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool bytesAt(int fd, off_t offset, const char* expected, std::size_t size) {
    char buffer[16];
    return ::pread(fd, buffer, size, offset) == static_cast<ssize_t>(size) && std::memcmp(buffer, expected, size) == 0;
}

}  // namespace

FileSignature fileSignatureOf(const std::string& path) {
    if (pathStatus(path).kind != PathKind::Regular) return FileSignature::None;
    // Non-blocking, and checked again once open: the path may have been
    // swapped for a FIFO since stat looked at it.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return FileSignature::None;

    if (bytesAt(file.fd, 0, kNumPy, kNumPySize)) return FileSignature::NumPy;
    // HDF5 looks for its superblock at 0 and then at every power of two from
    // 512 on, where a user block in front of it may have pushed it.
    const off_t lastStart = st.st_size - static_cast<off_t>(kHdf5Size);
    for (off_t offset = 0; offset <= lastStart; offset = offset ? offset * 2 : 512) {
        if (bytesAt(file.fd, offset, kHdf5, kHdf5Size)) return FileSignature::Hdf5;
        if (offset > lastStart / 2) break;  // the next power of two lies past the end
    }
    return FileSignature::None;
}

}  // namespace cellsonify
