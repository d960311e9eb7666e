#pragma once

#include "link/LinkSink.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quorlex::testing {

// Stands in for the UI thread's blocking queued call: the link's threads hand
// a chunk over and wait until the test thread, pumping, has handled it. A
// delivery made on the pumping thread itself (a failed send) is handled at once.
class PumpedSink : public LinkSink {
public:
    using Handler = std::function<void(const char*, size_t)>;

    explicit PumpedSink(Handler handler) : handler_(std::move(handler)) {}

    void Deliver(const char* bytes, size_t count) override {
        if (std::this_thread::get_id() == pumpThread_) {
            handler_(bytes, count);
            return;
        }
        std::unique_lock lock(mutex_);
        const uint64_t ticket = ++posted_;
        queue_.emplace_back(bytes, count);
        wake_.notify_all();
        wake_.wait(lock, [&] { return handled_ >= ticket || closed_; });
    }

    // Handles deliveries until done() holds or the time is up; the tick
    // callback runs every tickEvery of real time, as the frame's timer would.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& tick = {},
                   std::chrono::milliseconds tickEvery = std::chrono::milliseconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        auto nextTick = std::chrono::steady_clock::now() + tickEvery;
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) {
                return false;
            }
            if (tick && now >= nextTick) {
                tick();
                nextTick = now + tickEvery;
            }
            HandleOne(std::min(deadline, nextTick));
        }
        return true;
    }

    // Releases any thread still waiting, so the link can be destroyed.
    void Close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        wake_.notify_all();
    }

    ~PumpedSink() override { Close(); }

private:
    void HandleOne(std::chrono::steady_clock::time_point until) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_until(lock, until, [&] { return !queue_.empty(); })) {
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

    Handler handler_;
    const std::thread::id pumpThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    uint64_t posted_ = 0;
    uint64_t handled_ = 0;
    bool closed_ = false;
};

} // namespace quorlex::testing
