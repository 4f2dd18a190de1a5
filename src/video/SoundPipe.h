#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace cellsonify {

// Carries a sound render's blocks from the thread rendering them to the
// thread using them, holding only a few at a time so memory stays flat
// however long the render: the renderer waits while the pipe is full.
class SoundPipe {
public:
    explicit SoundPipe(std::size_t mostBlocks = 2) : mostBlocks_(mostBlocks) {}

    // Renderer: queues a copy of `block`, waiting for room; false once the
    // user has stopped taking (the renderer should then give up).
    bool put(std::span<const float> block);
    // Renderer: no more blocks; `whole` says the render ran to its end,
    // `error` carries what it threw (or nothing).
    void close(bool whole, std::exception_ptr error = nullptr);

    // User: the next block, waiting at most `mostWait` for it; nothing when
    // none came in time or the pipe is closed and empty (drained()).
    std::optional<std::vector<float>> take(std::chrono::milliseconds mostWait);
    // User: the renderer has closed the pipe and every block has been taken.
    bool drained() const;
    // User: takes no more; a waiting or later put() returns false.
    void stop();
    // After close(): whether the render ran to its end, rethrowing what it threw.
    bool whole() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<float>> blocks_;
    std::size_t mostBlocks_;
    bool closed_ = false;
    bool stopped_ = false;
    bool whole_ = false;
    std::exception_ptr error_;
};

}  // namespace cellsonify
