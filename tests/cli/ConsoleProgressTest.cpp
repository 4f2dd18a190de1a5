#include "cli/ConsoleProgress.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace cellsonify;
using namespace std::chrono_literals;

namespace {

// A clock the test moves by hand.
struct HandClock {
    std::chrono::steady_clock::time_point now{};
    ConsoleProgress::Clock clock() {
        return [this] { return now; };
    }
};

// A bar with `filled` of its 40 places filled and `percent` after it.
std::string bar(int filled, const char* percent) {
    std::string text(1, '[');
    text.append(filled, '#').append(40 - filled, '.').append("] ").append(percent);
    return text;
}

}  // namespace

TEST(ConsoleProgress, BarShowsTheShareDone) {
    EXPECT_EQ(ConsoleProgress::barText(0.0), bar(0, "  0%"));
    EXPECT_EQ(ConsoleProgress::barText(0.5), bar(20, " 50%"));
    EXPECT_EQ(ConsoleProgress::barText(0.999), bar(39, " 99%"));
    EXPECT_EQ(ConsoleProgress::barText(1.0), bar(40, "100%"));
    EXPECT_EQ(ConsoleProgress::barText(7.0), ConsoleProgress::barText(1.0));
    EXPECT_EQ(ConsoleProgress::barText(-1.0), ConsoleProgress::barText(0.0));
}

TEST(ConsoleProgress, AppearsOnATerminalOnlyAfterAMomentAndClearsItsLine) {
    HandClock hand;
    std::ostringstream terminal;
    ConsoleProgress progress(terminal, true, hand.clock());
    EXPECT_TRUE(progress.update(0.1));
    hand.now += ConsoleProgress::kQuietFor - 1ms;
    progress.update(0.2);
    EXPECT_EQ(terminal.str(), "") << "quick work shows nothing";

    hand.now += 1ms;
    progress.update(0.25);
    const std::string quarter = '\r' + bar(10, " 25%");
    EXPECT_EQ(terminal.str(), quarter);
    progress.update(0.255);  // same whole percentage: nothing redrawn
    EXPECT_EQ(terminal.str(), quarter);
    progress.update(0.5);
    EXPECT_EQ(terminal.str(), quarter + '\r' + bar(20, " 50%"));

    terminal.str("");
    progress.finish();
    EXPECT_EQ(terminal.str(), '\r' + std::string(bar(40, "100%").size(), ' ') + '\r');
}

TEST(ConsoleProgress, NeverDrawsWhenNotOnATerminal) {
    HandClock hand;
    std::ostringstream redirected;
    ConsoleProgress progress(redirected, false, hand.clock());
    hand.now += 1h;
    EXPECT_TRUE(progress.update(0.5));
    progress.finish();
    EXPECT_EQ(redirected.str(), "");
}
