#pragma once

#include <string>

namespace cellsonify {

// What a path names, found with stat(2) (symbolic links followed) without
// opening it, so a FIFO or a device is never opened and never blocks a read.
enum class PathKind { Missing, Regular, Directory, Other, Unreadable };

struct PathStatus {
    PathKind kind = PathKind::Missing;
    std::string reason;  // for Other and Unreadable: why it cannot be read, in words
};

PathStatus pathStatus(const std::string& path);

// Throws ImportError(name, ...) unless `path` is a regular file, saying what
// it is instead ("is a FIFO or a device, not a regular file", "is a loop of
// symbolic links", "does not exist").
void requireRegularFile(const std::string& path, const std::string& name);

}  // namespace cellsonify
