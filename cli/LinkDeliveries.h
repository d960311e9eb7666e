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

namespace quorlex::cli {

// The tool's stand-in for the window system's blocking cross-thread call: the
// link's threads hand a chunk over and wait until the tool's thread, which
// also runs the clock, has handled it. A delivery made on the tool's thread
// itself (a failed send) is handled at once.
class LinkDeliveries : public LinkSink {
public:
    using Handler = std::function<void(const char*, size_t)>;

    explicit LinkDeliveries(Handler handler) : handler_(std::move(handler)) {}
    ~LinkDeliveries() override { Close(); }
    LinkDeliveries(const LinkDeliveries&) = delete;
    LinkDeliveries& operator=(const LinkDeliveries&) = delete;

    void Deliver(const char* bytes, size_t count) override;

    // Handles one delivery, waiting for it until the given time at most.
    void HandleOne(std::chrono::steady_clock::time_point until);

    // Lets every waiting thread go and refuses later deliveries, so the link
    // can be closed and destroyed.
    void Close();

private:
    Handler handler_;
    const std::thread::id owner_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    uint64_t posted_ = 0;
    uint64_t handled_ = 0;
    bool closed_ = false;
};

} // namespace quorlex::cli
