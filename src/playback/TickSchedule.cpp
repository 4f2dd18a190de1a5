#include "playback/TickSchedule.h"

#include <algorithm>

namespace cellsonify {

void TickSchedule::start(TimePoint now, Interval interval) {
    running_ = interval.count() > 0;
    origin_ = now;
    interval_ = running_ ? interval : Interval{0};
    next_ = 1;
    dropped_ = 0;
}

void TickSchedule::stop() {
    running_ = false;
    stoppedInterval_ = interval_;
    interval_ = Interval{0};
}

void TickSchedule::resume() {
    interval_ = stoppedInterval_;
    running_ = interval_.count() > 0;
}

long long TickSchedule::takeDue(TimePoint now) {
    if (!running_ || now < origin_) return 0;
    const auto step = std::chrono::duration_cast<TimePoint::duration>(interval_);
    const long long lastDue = (now - origin_) / step;  // grid index of the latest deadline passed
    long long due = lastDue - next_ + 1;
    if (due <= 0) return 0;
    if (due > kMostBacklog) {
        const long long skip = due - kMostPerWakeup;
        next_ += skip;
        dropped_ += skip;
        due = kMostPerWakeup;
    }
    const long long run = std::min(due, kMostPerWakeup);
    next_ += run;
    return run;
}

TickSchedule::TimePoint TickSchedule::nextDue() const {
    return origin_ + next_ * std::chrono::duration_cast<TimePoint::duration>(interval_);
}

}  // namespace cellsonify
