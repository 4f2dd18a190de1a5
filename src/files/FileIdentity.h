#pragma once

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

}  // namespace cellsonify
