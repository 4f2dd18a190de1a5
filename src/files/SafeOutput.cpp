#include "files/SafeOutput.h"

#include "files/PartialFiles.h"
#include "files/PathNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace cellsonify {

namespace {

constexpr int kMostLinks = 40;  // as the kernel follows at most 40

[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
    throw std::runtime_error(path + ": cannot be written: " + reason);
}

// Where the bytes for `path` go: the end of its chain of symbolic links (a
// link that points nowhere yet names the file to create).
std::string resolveLinks(const std::string& path) {
    std::string at = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return at;
        if (hops == kMostLinks) refuse(path, std::strerror(ELOOP));
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(at.c_str(), target.data(), target.size());
        if (length < 0) refuse(path, std::strerror(errno));
        target.resize(static_cast<std::size_t>(length));
        at = target.front() == '/' || at.find('/') == std::string::npos ? target : folderOf(at) + "/" + target;
    }
}

std::string randomSuffix() {
    static thread_local std::mt19937 pick{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix(6, 'x');
    for (char& c : suffix) c = kLetters[pick() % (sizeof kLetters - 1)];
    return suffix;
}

}  // namespace

SafeOutput::SafeOutput(const std::string& path) : path_(path), destination_(resolveLinks(path)) {
    struct stat existing {};
    const bool replaces = ::stat(destination_.c_str(), &existing) == 0;
    if (replaces && S_ISDIR(existing.st_mode)) refuse(path_, std::strerror(EISDIR));
    // Renaming over a device or a FIFO would replace it, not write into it.
    if (replaces && !S_ISREG(existing.st_mode)) refuse(path_, "it exists and is not a regular file");
    removeDeadPartialFiles(destination_);
    const std::string prefix = partialFilePrefix(destination_, static_cast<long>(::getpid()));
    for (int attempt = 0;; ++attempt) {
        temporary_ = prefix + randomSuffix();
        // Remembered before it exists, so an ending signal between the two
        // cannot leave it behind.
        slot_ = rememberPartialFile(temporary_);
        // 0666 less the umask, as any new file; a file replaced keeps its own.
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) break;
        const int why = errno;
        forgetPartialFile(slot_);
        slot_ = -1;
        if (why != EEXIST || attempt == 100) {
            temporary_.clear();
            fail(why);
        }
    }
    if (replaces) {
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Only root may give a file away; others keep their own.
        }
        if (::fchmod(fd_, existing.st_mode & 07777) != 0) fail(errno);
    }
}

SafeOutput::~SafeOutput() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    forgetPartialFile(slot_);
}

void SafeOutput::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void SafeOutput::commit() {
    // A full disk often shows only here, when the file system allocates.
    if (::fsync(fd_) != 0) fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(errno);
    if (::rename(temporary_.c_str(), destination_.c_str()) != 0) fail(errno);
    temporary_.clear();
    forgetPartialFile(slot_);
    slot_ = -1;
    // The rename itself reaches the disk with its folder.
    const int folder = ::open(folderOf(destination_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void SafeOutput::fail(int reason) const { refuse(path_, std::strerror(reason)); }

void writeFileSafely(const std::string& path, std::string_view bytes) {
    SafeOutput output(path);
    output.write(bytes);
    output.commit();
}

}  // namespace cellsonify
