#pragma once

#include <string>

namespace cellsonify::cli {

// Refuses (std::invalid_argument, worded for the user) an output that would
// replace what a command reads: `input` itself, or any file inside the folder
// it reads (a folder given, or the folder of a .npy given for its plane).
void refuseOutputOntoInput(const std::string& output, const std::string& input);

}  // namespace cellsonify::cli
