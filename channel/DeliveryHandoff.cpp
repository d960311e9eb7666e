#include "channel/DeliveryHandoff.h"

namespace quorlex {

DeliveryHandoff::DeliveryHandoff(Handler handler, RunOnUiThread runOnUiThread,
                                 RunPending runPending)
    : handler(std::move(handler)), runOnUiThread(std::move(runOnUiThread)),
      runPending(std::move(runPending)), uiThread(std::this_thread::get_id()) {}

void DeliveryHandoff::Deliver(const char* bytes, std::size_t count) {
    if (std::this_thread::get_id() == uiThread) {
        Handle(bytes, count);
        return;
    }
    // Counted before closing is looked at, so Stop() sees every delivery
    // that may still reach the UI thread.
    deliveriesInFlight.fetch_add(1);
    if (!closing.load()) {
        // The caller waits, so bytes stay valid and need no copy.
        runOnUiThread([this, bytes, count] { Handle(bytes, count); });
    }
    deliveriesInFlight.fetch_sub(1);
}

void DeliveryHandoff::Stop() {
    closing.store(true);
    while (deliveriesInFlight.load() > 0) {
        runPending();
        std::this_thread::yield();
    }
}

void DeliveryHandoff::Handle(const char* bytes, std::size_t count) {
    if (!closing.load()) {
        handler(bytes, count);
    }
}

} // namespace quorlex
