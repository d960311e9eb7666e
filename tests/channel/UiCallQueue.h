#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quorlex::testing {

// The thread that makes it, as the UI thread's event loop: other threads hand
// it calls and wait until each has run, as with a blocking queued call. A call
// that would wait for ever in a real loop (handed over by the loop's own
// thread, still waiting when the loop ends, or handed over after that) is let
// go unrun and counted instead.
class UiCallQueue {
public:
    using Call = std::function<void()>;

    void RunAndWait(const Call& call) {
        std::unique_lock lock(mutex_);
        if (ended_ || std::this_thread::get_id() == loopThread_) {
            ++unanswered_;
            return;
        }
        const uint64_t ticket = ++posted_;
        waiting_.push_back(&call);
        changed_.notify_all();
        changed_.wait(lock, [&] { return ran_ >= ticket || ended_; });
    }

    // Runs the calls waiting now.
    void RunPending() {
        while (RunOne(std::chrono::steady_clock::now())) {
        }
    }

    // Runs calls until done() holds or the time is up; the tick callback runs
    // every tickEvery of real time, as the frame's timer would.
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
            RunOne(std::min(deadline, nextTick));
        }
        return true;
    }

    // Runs nothing until a call waits; false when none came within limit.
    bool WaitForCall(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return !waiting_.empty(); });
    }

    // The loop is left for good.
    void End() {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        unanswered_ += waiting_.size();
        waiting_.clear();
        changed_.notify_all();
    }

    // Calls let go unrun, as above.
    std::size_t Unanswered() const {
        const std::lock_guard lock(mutex_);
        return unanswered_;
    }

private:
    // Runs the first call waiting by until; false when none came.
    bool RunOne(std::chrono::steady_clock::time_point until) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_until(lock, until, [&] { return !waiting_.empty(); })) {
            return false;
        }
        const Call* call = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        (*call)();
        lock.lock();
        ++ran_;
        changed_.notify_all();
        return true;
    }

    const std::thread::id loopThread_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<const Call*> waiting_;
    uint64_t posted_ = 0;
    uint64_t ran_ = 0;
    bool ended_ = false;
    std::size_t unanswered_ = 0;
};

} // namespace quorlex::testing
