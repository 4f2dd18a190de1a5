#pragma once

#include "cli/RenderCommand.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace clitest {

// What a command said and its exit code.
struct Outcome {
    int code;
    std::string out, err;
};

// `cellsonify render ARGS`, run in this process, its output not a terminal.
inline Outcome render(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = cellsonify::renderCommand(args, out, err, false);
    return {code, out.str(), err.str()};
}

// The bytes of the file at `path` (empty when it cannot be read).
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace clitest
