#pragma once

#include "link/LinkSink.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace quorlex::bench {

// The main frame's thread for a benchmark: the link's threads hand each chunk
// or status text over and wait until it has been handled here, and between
// deliveries a real timer ticks. Like the frame's timer, a tick that comes late
// (the thread was busy) does not move the ticks after it, unless a whole
// period was missed.
class FrameLoop final : public LinkSink {
public:
    using Clock = std::chrono::steady_clock;
    using Handler = std::function<void(const char*, std::size_t)>;

    FrameLoop(Handler handler, std::function<void()> tick, Clock::duration period)
        : handler_(std::move(handler)), tick_(std::move(tick)), period_(period),
          nextTick_(Clock::now() + period) {}
    ~FrameLoop() override { Close(); }
    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

    void Deliver(const char* bytes, std::size_t count) override {
        if (std::this_thread::get_id() == loopThread_) {
            handler_(bytes, count);
            return;
        }
        std::unique_lock lock(mutex_);
        const uint64_t ticket = ++posted_;
        queue_.push_back({bytes, count});
        wake_.notify_all();
        wake_.wait(lock, [&] { return handled_ >= ticket || closed_; });
    }

    // The next tick comes firstIn from now, the later ones a period apart.
    void RestartTimer(Clock::duration firstIn) { nextTick_ = Clock::now() + firstIn; }

    // Handles deliveries and ticks until done() holds; false when limit passed first.
    bool RunUntil(const std::function<bool()>& done, Clock::duration limit) {
        const Clock::time_point deadline = Clock::now() + limit;
        while (!done()) {
            const Clock::time_point now = Clock::now();
            if (now >= deadline) {
                return false;
            }
            if (now >= nextTick_) {
                tick_();
                nextTick_ += period_;
                if (nextTick_ <= Clock::now()) {
                    nextTick_ = Clock::now() + period_;
                }
                continue;
            }
            HandleNext(std::min(deadline, nextTick_));
        }
        return true;
    }

    // Releases every thread still waiting, so the link can be destroyed.
    void Close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        wake_.notify_all();
    }

private:
    struct Delivery {
        const char* bytes;
        std::size_t count;
    };

    void HandleNext(Clock::time_point until) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_until(lock, until, [&] { return !queue_.empty(); })) {
            return;
        }
        const Delivery next = queue_.front();
        queue_.pop_front();
        lock.unlock();
        // The sender waits until handled_ passes its ticket, so the bytes stay valid.
        handler_(next.bytes, next.count);
        lock.lock();
        ++handled_;
        wake_.notify_all();
    }

    Handler handler_;
    std::function<void()> tick_;
    const Clock::duration period_;
    Clock::time_point nextTick_;
    const std::thread::id loopThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Delivery> queue_;
    uint64_t posted_ = 0;
    uint64_t handled_ = 0;
    bool closed_ = false;
};

} // namespace quorlex::bench
