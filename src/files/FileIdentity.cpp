#include "files/FileIdentity.h"

#include "files/PathNames.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace cellsonify {

namespace {

bool same(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

OutputOverlap overlapOf(const std::string& output, const std::string& input) {
    struct stat in {}, out {};
    if (::stat(input.c_str(), &in) != 0) return OutputOverlap::None;
    if (::stat(output.c_str(), &out) == 0 && same(in, out)) return OutputOverlap::SameFile;
    if (!S_ISDIR(in.st_mode)) return OutputOverlap::None;
    // Walk from the output's folder up to the root looking for the input.
    char resolved[PATH_MAX];
    if (::realpath(folderOf(output).c_str(), resolved) == nullptr) return OutputOverlap::None;
    std::string at = resolved;
    while (true) {
        struct stat folder {};
        if (::stat(at.c_str(), &folder) == 0 && same(in, folder)) return OutputOverlap::InsideFolder;
        if (at == "/") return OutputOverlap::None;
        at = folderOf(at);
    }
}

std::optional<FileKey> fileKeyOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileKey{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

}  // namespace cellsonify
