#pragma once

#include "link/ThreadStarter.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace quorlex {

// A thread whose end can be awaited with a time limit. Destruction joins it.
class LinkThread {
public:
    // nullptr when the thread could not be started.
    static std::unique_ptr<LinkThread> Start(ThreadStarter& starter, std::function<void()> body);

    ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // true once the body has returned, waiting at most limit for it.
    bool WaitFinished(std::chrono::milliseconds limit);
    bool Finished();
    bool IsCallingThread() const { return std::this_thread::get_id() == id_; }

private:
    struct Completion {
        std::mutex mutex;
        std::condition_variable ended;
        bool finished = false;
    };

    LinkThread() = default;

    std::shared_ptr<Completion> completion_ = std::make_shared<Completion>();
    std::thread thread_;
    std::thread::id id_;
};

} // namespace quorlex
