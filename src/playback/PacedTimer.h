#pragma once

#include "playback/TickSchedule.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace cellsonify {

// The playback timer: calls a tick function every `interval` ms on average,
// measured against the monotonic clock rather than by adding up timer waits,
// which run late. Falls behind gracefully: due ticks run (a few per wakeup),
// a long backlog is dropped. Lives in the thread of an event loop.
class PacedTimer : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<TickSchedule::TimePoint()>;

    // `onTick` runs once per tick; it may change the interval (even stop and
    // restart) from inside.
    explicit PacedTimer(std::function<void()> onTick, QObject* parent = nullptr);
    // The same reading `clock` (empty: the steady clock), which tests move by hand.
    PacedTimer(std::function<void()> onTick, Clock clock, QObject* parent = nullptr);

    // 0 stops; a new positive interval starts a fresh grid at once (first tick
    // `ms` from now). Setting the current interval again keeps the beat, and
    // so does a tick that stops the timer and starts it again at the same
    // interval (a loop's restart): the next pass stays on the grid.
    // Negative values are refused and change nothing.
    void setInterval(int ms);
    // Current interval in ms; 0 when stopped.
    int interval() const { return static_cast<int>(schedule_.interval().count()); }
    bool isActive() const { return schedule_.running(); }
    // Ticks dropped from backlogs since the interval was last set.
    long long droppedTicks() const { return schedule_.dropped(); }

    // Runs the ticks due now and arms the next wakeup. The timer's wakeups call
    // this; tests call it directly with a stand-in clock.
    void runDueTicks();

private:
    void arm();

    std::function<void()> onTick_;
    Clock clock_;
    TickSchedule schedule_;
    QTimer wakeup_;
    unsigned long long generation_ = 0;  // bumped by every start and stop
    bool inTick_ = false;
    bool stoppedInTick_ = false;                // this tick stopped the timer
    unsigned long long generationOfTick_ = 0;  // before that stop
};

}  // namespace cellsonify
