#include "playback/PacedTimer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace cellsonify {

PacedTimer::PacedTimer(std::function<void()> onTick, QObject* parent)
    : PacedTimer(std::move(onTick), [] { return std::chrono::steady_clock::now(); }, parent) {}

PacedTimer::PacedTimer(std::function<void()> onTick, Clock clock, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
    wakeup_.setSingleShot(true);
    wakeup_.setTimerType(Qt::PreciseTimer);
    connect(&wakeup_, &QTimer::timeout, this, &PacedTimer::runDueTicks);
}

void PacedTimer::setInterval(int ms) {
    if (ms < 0 || ms == interval()) return;
    if (stoppedInTick_ && ms == static_cast<int>(schedule_.stoppedInterval().count())) {
        // Stopped and started again by one tick at one speed: the rest of the
        // batch and every later tick stay on the grid, so loops do not drift.
        schedule_.resume();
        stoppedInTick_ = false;
        generation_ = generationOfTick_;
        arm();
        return;
    }
    if (ms == 0) {
        stoppedInTick_ = inTick_;
        generationOfTick_ = generation_;
        schedule_.stop();
    } else {
        stoppedInTick_ = false;
        schedule_.start(clock_(), TickSchedule::Interval{ms});
    }
    ++generation_;
    arm();
}

void PacedTimer::runDueTicks() {
    const unsigned long long generation = generation_;
    const long long due = schedule_.takeDue(clock_());
    // A tick that stops or restarts the timer ends this batch: the rest were
    // due on the old grid.
    for (long long k = 0; k < due && generation == generation_; ++k) {
        inTick_ = true;
        onTick_();
        inTick_ = false;
        stoppedInTick_ = false;
    }
    arm();
}

void PacedTimer::arm() {
    if (!schedule_.running()) {
        wakeup_.stop();
        return;
    }
    const auto wait = schedule_.nextDue() - clock_();
    // Round up: waking a little late costs nothing on the grid, waking early
    // costs a wasted wakeup.
    const auto ms = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(wait), std::chrono::milliseconds{0},
                               std::chrono::milliseconds{std::numeric_limits<int>::max()});
    wakeup_.start(ms);
}

}  // namespace cellsonify
