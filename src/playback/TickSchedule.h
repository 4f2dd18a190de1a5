#pragma once

#include <chrono>

namespace cellsonify {

// When a paced timer's ticks fall due. Deadlines sit on a fixed grid (start +
// k x interval), so late wakeups do not push later ticks back and the mean
// period stays the interval. Pure logic: the caller supplies the time.
class TickSchedule {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Interval = std::chrono::milliseconds;

    // Most ticks handed out per wakeup, so input and painting get a turn.
    static constexpr long long kMostPerWakeup = 4;
    // A backlog longer than this is cut to kMostPerWakeup ticks: after a long
    // stall playback resumes at tempo instead of racing to catch up.
    static constexpr long long kMostBacklog = 8;

    // Starts a fresh grid: the first tick falls due at `now` + `interval` (> 0).
    void start(TimePoint now, Interval interval);
    // Stops; no tick falls due until the next start or resume.
    void stop();
    // Runs again on the grid of the last start, at its interval, as if never
    // stopped: the next tick is the one after the last handed out.
    void resume();

    bool running() const { return running_; }
    Interval interval() const { return interval_; }
    // The interval before the last stop (what resume() runs at).
    Interval stoppedInterval() const { return stoppedInterval_; }

    // Number of ticks to run at `now` (0..kMostPerWakeup), counted as done.
    // Due ticks beyond that wait for the next call, unless the backlog was
    // longer than kMostBacklog, in which case the oldest are dropped.
    long long takeDue(TimePoint now);
    // Deadline of the next tick not yet handed out (meaningless when stopped).
    TimePoint nextDue() const;
    // Ticks dropped from backlogs since the last start.
    long long dropped() const { return dropped_; }

private:
    bool running_ = false;
    TimePoint origin_{};
    Interval interval_{0};
    Interval stoppedInterval_{0};  // what resume() goes back to
    long long next_ = 1;      // index on the grid of the next tick to hand out
    long long dropped_ = 0;
};

}  // namespace cellsonify
