#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cellsonify::cli {

// `inspect FILE`: prints the loaded model as JSON on `out`; 0, or 1 with
// "error: <message>" on `err` for a refused file.
int inspectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `generate OUT [--cells N] [--frames N] [--activity P] [--seed S]`: writes a
// synthetic recording to OUT (through a temporary name, so no partial file is
// left behind); 0, or 1 with "error: <message>" on `err`.
int generateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cellsonify::cli
