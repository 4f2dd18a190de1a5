#pragma once

#include <cstdint>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace cellsonify::cli {

// Options that take a number within a range. The text must be a plain decimal
// number (no hex or octal, no exponent for whole numbers, no "nan" or "inf");
// anything else, or a value outside low..high, is refused with a message that
// names the option, the range and the text given. `target` keeps its value
// unless the option is given, and must outlive parsing.
CLI::Option* addNumberOption(CLI::App& app, const std::string& name, int& target, int low, int high,
                             const std::string& help);
CLI::Option* addNumberOption(CLI::App& app, const std::string& name, uint32_t& target, uint32_t low, uint32_t high,
                             const std::string& help);
CLI::Option* addNumberOption(CLI::App& app, const std::string& name, double& target, double low, double high,
                             const std::string& help);

}  // namespace cellsonify::cli
