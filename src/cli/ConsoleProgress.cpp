#include "cli/ConsoleProgress.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>

namespace cellsonify {

ConsoleProgress::ConsoleProgress(std::ostream& terminal, bool isTerminal, Clock clock)
    : terminal_(terminal), isTerminal_(isTerminal), clock_(std::move(clock)), start_(clock_()) {}

std::string ConsoleProgress::barText(double done) {
    done = std::isnan(done) ? 0.0 : std::clamp(done, 0.0, 1.0);
    const int filled = static_cast<int>(done * kWidth);
    const int percent = static_cast<int>(done * 100);
    const std::string number = std::to_string(percent);
    std::string text;
    text.reserve(kWidth + 7);
    text.append(1, '[').append(filled, '#').append(kWidth - filled, '.').append("] ");
    text.append(3 - number.size(), ' ').append(number).append(1, '%');
    return text;
}

bool ConsoleProgress::update(double done) {
    if (!isTerminal_) return true;
    if (!shown() && clock_() - start_ < kQuietFor) return true;
    const int percent = static_cast<int>((std::isnan(done) ? 0.0 : std::clamp(done, 0.0, 1.0)) * 100);
    if (percent == lastPercent_) return true;
    lastPercent_ = percent;
    terminal_ << '\r' << barText(done) << std::flush;
    return true;
}

void ConsoleProgress::finish() {
    if (!shown()) return;
    terminal_ << '\r' << std::string(barText(1.0).size(), ' ') << '\r' << std::flush;
    lastPercent_ = -1;
}

}  // namespace cellsonify
