#pragma once

#include <string>
#include <string_view>

namespace cellsonify {

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string folderOf(const std::string& path);

// Whether `text` ends with `ending`, letters compared in any case (".WAV" ends ".wav").
bool endsWithIgnoringCase(std::string_view text, std::string_view ending);

}  // namespace cellsonify
