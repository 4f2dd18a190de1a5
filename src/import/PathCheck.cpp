#include "import/PathCheck.h"

#include "import/ImportError.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace cellsonify {

PathStatus pathStatus(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) return {PathKind::Missing, "does not exist"};
        if (err == ELOOP) return {PathKind::Unreadable, "is a loop of symbolic links"};
        return {PathKind::Unreadable, std::string("cannot be read: ") + std::strerror(err)};
    }
    if (S_ISREG(st.st_mode)) return {PathKind::Regular, {}};
    if (S_ISDIR(st.st_mode)) return {PathKind::Directory, "is a folder, not a file"};
    if (S_ISFIFO(st.st_mode)) return {PathKind::Other, "is a pipe (FIFO), not a regular file"};
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return {PathKind::Other, "is a device, not a regular file"};
    if (S_ISSOCK(st.st_mode)) return {PathKind::Other, "is a socket, not a regular file"};
    return {PathKind::Other, "is not a regular file"};
}

void requireRegularFile(const std::string& path, const std::string& name) {
    const PathStatus s = pathStatus(path);
    if (s.kind != PathKind::Regular) throw ImportError(name, s.reason);
}

}  // namespace cellsonify
