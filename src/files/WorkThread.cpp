#include "files/WorkThread.h"

namespace cellsonify {

WorkThread::WorkThread(Run run) {
    worker_ = std::thread([this, run = std::move(run)] {
        try {
            run([this](double done) { done_ = done; }, cancelled_);
        } catch (...) {
            error_ = std::current_exception();
        }
        const std::lock_guard lock(mutex_);
        finished_ = true;
        ended_.notify_all();
    });
}

WorkThread::~WorkThread() {
    cancelled_ = true;
    worker_.join();
}

bool WorkThread::advance() {
    std::unique_lock lock(mutex_);
    ended_.wait_for(lock, kMostWait, [this] { return finished_; });
    if (!finished_) return false;
    if (error_) std::rethrow_exception(error_);
    return true;
}

}  // namespace cellsonify
