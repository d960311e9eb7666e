#pragma once

#include "channel/DeviceRecord.h"
#include "channel/MainFrameCore.h"
#include "cli/BatchWatcher.h"
#include "cli/LinkDeliveries.h"
#include "cli/ProgressLog.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorlex::cli {

struct SessionOptions {
    // The channel's clock, as the main frame's timer.
    std::chrono::milliseconds tick{1000};
    // How long a connection may take to come up.
    std::chrono::milliseconds connectLimit{40000};
    Sleeper sleeper = RealSleeper();
    LinkOptions link;
    std::filesystem::path sourceTableCache;
};

struct BatchResult {
    std::vector<CommandRecord> commands;
    // The link went down (or never answered in time) and the batch was ended.
    bool linkLost = false;

    bool AllAcknowledged() const;
};

// One receiver, connected through the application's own core: the main
// frame's core (record, link, channel, intake, source table store) with the
// link's deliveries and the one-second clock both handled on the caller's
// thread, as the main frame handles them on the UI thread.
class ReceiverSession {
public:
    // The platform must outlive the session.
    ReceiverSession(BluetoothPlatform& platform, DeviceRecord device, SessionOptions options,
                    ProgressLog& log);
    ~ReceiverSession();
    ReceiverSession(const ReceiverSession&) = delete;
    ReceiverSession& operator=(const ReceiverSession&) = delete;

    // Switches the adapter on if need be and connects; false with a reason.
    bool Connect(std::string& error);
    // Sends the batch and waits for its end. A batch that continues an
    // earlier one numbers its progress lines from first + 1 to of.
    BatchResult Run(std::u16string_view title, const std::vector<CommandItem>& items,
                    size_t first = 0, size_t of = 0);

    MainFrameCore& Core() { return *core_; }
    ReceiverSettings& Settings() { return core_->Control().Settings(); }
    // Why the source table could not be cached; empty when it was, or was not due.
    const std::string& CacheError() const { return cacheError_; }

private:
    using Clock = std::chrono::steady_clock;

    // Handles deliveries and ticks until done() holds; false at the limit.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

    DeviceRecord device_;
    SessionOptions options_;
    BatchWatcher watcher_;
    LinkDeliveries deliveries_;
    // After the deliveries: destroyed first, so the link's threads are joined
    // while the deliveries still turn them away.
    std::unique_ptr<MainFrameCore> core_;
    Clock::time_point nextTick_;
    std::string cacheError_;
};

} // namespace quorlex::cli
