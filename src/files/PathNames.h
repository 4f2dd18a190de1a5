#pragma once

#include <string>
#include <string_view>

namespace cellsonify {

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string folderOf(const std::string& path);

// Whether `text` ends with `ending`, letters compared in any case (".WAV" ends ".wav").
bool endsWithIgnoringCase(std::string_view text, std::string_view ending);

// How a recording at `path` is named to the user: its file or folder name
// ("plane0" for "suite2p/plane0/"), or `path` when it has none.
std::string recordingNameOf(const std::string& path);

}  // namespace cellsonify
