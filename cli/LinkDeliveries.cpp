#include "cli/LinkDeliveries.h"

namespace quorlex::cli {

void LinkDeliveries::Deliver(const char* bytes, size_t count) {
    if (std::this_thread::get_id() == owner_) {
        if (!closed_) {
            handler_(bytes, count);
        }
        return;
    }
    std::unique_lock lock(mutex_);
    if (closed_) {
        return;
    }
    const uint64_t ticket = ++posted_;
    queue_.emplace_back(bytes, count);
    wake_.notify_all();
    wake_.wait(lock, [&] { return handled_ >= ticket || closed_; });
}

void LinkDeliveries::HandleOne(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    if (!wake_.wait_until(lock, until, [&] { return !queue_.empty() || closed_; }) || closed_) {
        return;
    }
    const std::string chunk = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    handler_(chunk.c_str(), chunk.size());
    lock.lock();
    ++handled_;
    wake_.notify_all();
}

void LinkDeliveries::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    queue_.clear();
    wake_.notify_all();
}

} // namespace quorlex::cli
