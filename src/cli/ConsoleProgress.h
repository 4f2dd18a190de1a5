#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

namespace cellsonify {

// A progress bar on one terminal line ("[#####.....]  50%"), redrawn in place.
// It appears only on a terminal and only once the work has run longer than a
// moment, so quick jobs and redirected output stay clean.
class ConsoleProgress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Work shorter than this never shows a bar.
    static constexpr std::chrono::milliseconds kQuietFor{400};
    static constexpr int kWidth = 40;

    // Draws on `terminal` when `isTerminal`; `clock` stands in for the steady clock in tests.
    ConsoleProgress(std::ostream& terminal, bool isTerminal, Clock clock = std::chrono::steady_clock::now);

    // Records that `done` (0..1) of the work is finished; redraws when shown
    // and the whole percentage changed. Always lets the work go on.
    bool update(double done);
    // Clears the bar's line if it was drawn.
    void finish();
    // Whether the bar has been drawn.
    bool shown() const { return lastPercent_ >= 0; }

    // The bar's text for `done` without the carriage return.
    static std::string barText(double done);

private:
    std::ostream& terminal_;
    bool isTerminal_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
    int lastPercent_ = -1;
};

}  // namespace cellsonify
