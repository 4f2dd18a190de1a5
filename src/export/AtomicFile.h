#pragma once

#include <string>

namespace cellsonify {

// Writes `bytes` to `path` whole or not at all: through a temporary file beside
// `path` that replaces it only once everything is written. Throws
// std::runtime_error naming the file and the reason when it cannot be written.
void writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace cellsonify
