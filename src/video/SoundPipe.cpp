#include "video/SoundPipe.h"

namespace cellsonify {

bool SoundPipe::put(std::span<const float> block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || blocks_.size() < mostBlocks_; });
    if (stopped_) return false;
    blocks_.emplace_back(block.begin(), block.end());
    changed_.notify_all();
    return true;
}

void SoundPipe::close(bool whole, std::exception_ptr error) {
    std::lock_guard lock(mutex_);
    closed_ = true;
    whole_ = whole;
    error_ = std::move(error);
    changed_.notify_all();
}

std::optional<std::vector<float>> SoundPipe::take(std::chrono::milliseconds mostWait) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, mostWait, [&] { return closed_ || !blocks_.empty(); });
    if (blocks_.empty()) return std::nullopt;
    std::vector<float> block = std::move(blocks_.front());
    blocks_.pop_front();
    changed_.notify_all();
    return block;
}

bool SoundPipe::drained() const {
    std::lock_guard lock(mutex_);
    return closed_ && blocks_.empty();
}

void SoundPipe::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    blocks_.clear();
    changed_.notify_all();
}

bool SoundPipe::whole() const {
    std::lock_guard lock(mutex_);
    if (error_) std::rethrow_exception(error_);
    return whole_;
}

}  // namespace cellsonify
