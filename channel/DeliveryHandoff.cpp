#include "channel/DeliveryHandoff.h"

namespace quorlex {

DeliveryHandoff::DeliveryHandoff(Handler handler, RunOnUiThread runOnUiThread,
                                 RunPending runPending)
    : handler_(std::move(handler)), runOnUiThread_(std::move(runOnUiThread)),
      runPending_(std::move(runPending)), uiThread_(std::this_thread::get_id()) {}

void DeliveryHandoff::Deliver(const char* bytes, std::size_t count) {
    if (std::this_thread::get_id() == uiThread_) {
        Handle(bytes, count);
        return;
    }
    // Counted before closing is looked at, so Stop() sees every delivery
    // that may still reach the UI thread.
    deliveriesInFlight_.fetch_add(1);
    if (!closing_.load()) {
        // The caller waits, so bytes stay valid and need no copy.
        runOnUiThread_([this, bytes, count] { Handle(bytes, count); });
    }
    deliveriesInFlight_.fetch_sub(1);
}

void DeliveryHandoff::Stop() {
    closing_.store(true);
    while (deliveriesInFlight_.load() > 0) {
        runPending_();
        std::this_thread::yield();
    }
}

void DeliveryHandoff::Handle(const char* bytes, std::size_t count) {
    if (!closing_.load()) {
        handler_(bytes, count);
    }
}

} // namespace quorlex
