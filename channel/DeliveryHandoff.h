#pragma once

#include "link/LinkSink.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

namespace quorlex {

// Takes the link's deliveries over to the UI thread: a link thread waits
// until the UI thread has handled its chunk; a delivery made on the UI thread
// itself (a failed send) is handled at once.
//
// The UI thread's window goes away while link threads may still deliver, and
// the link's destruction joins them; a thread left waiting for the UI thread
// there would never end. Stop() therefore refuses every later delivery and
// lets those already on their way through unhandled before it returns.
class DeliveryHandoff final : public LinkSink {
public:
    using Handler = std::function<void(const char* bytes, std::size_t count)>;
    // Runs call on the UI thread and returns once it has run there.
    using RunOnUiThread = std::function<void(const std::function<void()>& call)>;
    // On the UI thread: runs the calls handed to it so far.
    using RunPending = std::function<void()>;

    // Made on the UI thread.
    DeliveryHandoff(Handler handler, RunOnUiThread runOnUiThread, RunPending runPending);

    void Deliver(const char* bytes, std::size_t count) override;
    // On the UI thread, before the link goes away. Once it returns no handler
    // runs and no delivery reaches the UI thread.
    void Stop();

private:
    void Handle(const char* bytes, std::size_t count);

    Handler handler_;
    RunOnUiThread runOnUiThread_;
    RunPending runPending_;
    const std::thread::id uiThread_;
    std::atomic<bool> closing_{false};
    std::atomic<int> deliveriesInFlight_{0};
};

} // namespace quorlex
