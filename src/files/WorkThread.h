#pragma once

#include "files/SteppedWork.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace cellsonify {

// Work that runs whole on a thread of its own, stepped by waiting a moment
// for it: the caller's loop turns while a file is read or written.
class WorkThread : public SteppedWork {
public:
    // Runs `run` at once on the new thread. It reports its share done through
    // `report` and stops soon (returning or throwing) once `cancelled` is set.
    using Run = std::function<void(const std::function<void(double)>& report, const std::atomic<bool>& cancelled)>;
    explicit WorkThread(Run run);
    // Sets `cancelled` and waits for the thread to end.
    ~WorkThread() override;

    // Waits up to 10 ms; true once `run` has returned; rethrows what it threw.
    bool advance() override;
    double done() const override { return done_.load(); }

private:
    static constexpr std::chrono::milliseconds kMostWait{10};

    std::atomic<double> done_{0.0};
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = false;     // under mutex_
    std::exception_ptr error_;  // set before finished_
    std::thread worker_;        // last: it reads the members above
};

}  // namespace cellsonify
