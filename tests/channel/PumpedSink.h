#pragma once

#include "channel/DeliveryHandoff.h"
#include "tests/channel/UiCallQueue.h"

#include <chrono>
#include <cstddef>
#include <functional>

namespace quorlex::testing {

// The main frame's handoff with the test thread, pumping, as its UI thread:
// the link's threads hand a chunk over and wait until it has been handled; a
// delivery made on the pumping thread itself (a failed send) is handled at once.
class PumpedSink : public LinkSink {
public:
    using Handler = DeliveryHandoff::Handler;

    // Made on the thread that pumps.
    explicit PumpedSink(Handler handler)
        : handoff_(
              std::move(handler),
              [this](const UiCallQueue::Call& call) { queue_.RunAndWait(call); },
              [this] { queue_.RunPending(); }) {}
    ~PumpedSink() override { Close(); }
    PumpedSink(const PumpedSink&) = delete;
    PumpedSink& operator=(const PumpedSink&) = delete;

    void Deliver(const char* bytes, std::size_t count) override { handoff_.Deliver(bytes, count); }

    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& tick = {},
                   std::chrono::milliseconds tickEvery = std::chrono::milliseconds(20)) {
        return queue_.PumpUntil(done, limit, tick, tickEvery);
    }
    // Handles nothing until a link thread waits with a delivery.
    bool WaitForDelivery(std::chrono::milliseconds limit) { return queue_.WaitForCall(limit); }

    // As the frame closes: a link thread waiting now is let go unhandled and
    // later deliveries are refused, so the link can be destroyed.
    void Close() {
        handoff_.Stop();
        queue_.End();
    }
    // Deliveries that would have waited for ever on a closed frame.
    std::size_t Unanswered() const { return queue_.Unanswered(); }

private:
    UiCallQueue queue_;
    DeliveryHandoff handoff_;
};

} // namespace quorlex::testing
