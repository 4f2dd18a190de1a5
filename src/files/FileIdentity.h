#pragma once

#include <compare>
#include <optional>
#include <string>

namespace cellsonify {

// How writing `output` would meet `input`, compared by device and inode so
// that other names for the same file (links, "./x", "dir/../x") are caught.
enum class OutputOverlap {
    None,          // output is elsewhere (or input does not exist)
    SameFile,      // output is input itself
    InsideFolder,  // input is a folder and output lies somewhere inside it
};
OutputOverlap overlapOf(const std::string& output, const std::string& input);

// What tells one file from another whatever it is called: its device and inode.
struct FileKey {
    unsigned long long device = 0, inode = 0;
    auto operator<=>(const FileKey&) const = default;
};
// The key of the file `path` names (symbolic links followed); nothing when it
// does not exist.
std::optional<FileKey> fileKeyOf(const std::string& path);

}  // namespace cellsonify
