#include "cli/NumberOption.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <sstream>

namespace cellsonify::cli {

namespace {

template <class Number>
std::string shown(Number v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// from_chars reads decimal only and reports overflow, unlike strtol with base 0.
template <class Number>
bool parseWhole(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool parseReal(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

template <class Number>
CLI::Option* addRangedOption(CLI::App& app, const std::string& name, Number& target, Number low, Number high,
                             const std::string& help) {
    constexpr bool whole = std::is_integral_v<Number>;
    const std::string range = std::string(whole ? "a whole number" : "a number") + " from " + shown(low) + " to " +
                              shown(high);
    auto store = [&target, name, low, high, range](const std::string& text) {
        Number value{};
        bool ok;
        if constexpr (whole)
            ok = parseWhole(text, value);
        else
            ok = parseReal(text, value);
        if (!ok || value < low || value > high)
            throw CLI::ValidationError(name + " expects " + range + ", not \"" + text + "\"");
        target = value;
    };
    CLI::Option* option = app.add_option_function<std::string>(name, store, help + " (" + range + ")");
    return option->type_name(whole ? "N" : "X")->default_str(shown(target));
}

}  // namespace

CLI::Option* addNumberOption(CLI::App& app, const std::string& name, int& target, int low, int high,
                             const std::string& help) {
    return addRangedOption(app, name, target, low, high, help);
}

CLI::Option* addNumberOption(CLI::App& app, const std::string& name, uint32_t& target, uint32_t low, uint32_t high,
                             const std::string& help) {
    return addRangedOption(app, name, target, low, high, help);
}

CLI::Option* addNumberOption(CLI::App& app, const std::string& name, double& target, double low, double high,
                             const std::string& help) {
    return addRangedOption(app, name, target, low, high, help);
}

}  // namespace cellsonify::cli
