#include "cli/ReceiverSession.h"

#include "common/Text.h"
#include "devices/DeviceSearch.h"
#include "link/LinkStatus.h"
#include "network/CacheFile.h"

#include <algorithm>

namespace quorlex::cli {

bool BatchResult::AllAcknowledged() const {
    return !linkLost && std::all_of(commands.begin(), commands.end(), [](const CommandRecord& c) {
        return c.result == CommandResult::Acknowledged;
    });
}

ReceiverSession::ReceiverSession(BluetoothPlatform& platform, DeviceRecord device,
                                 SessionOptions options, ProgressLog& log)
    : device_(std::move(device)), options_(std::move(options)), watcher_(log),
      deliveries_([this](const char* bytes, size_t count) {
          watcher_.OnReceived(bytes, count);
          core_->OnReceiverData(bytes, count);
      }),
      core_(std::make_unique<MainFrameCore>(platform, options_.sleeper, options_.link,
                                            options_.sourceTableCache)) {
    core_->SetCacheSaveFailed([this](const std::filesystem::path& file, const FileError& error) {
        cacheError_ = ToUtf8(CacheSaveFailedText(file, error));
    });
    core_->Control().SetProgressTarget(&watcher_);
}

ReceiverSession::~ReceiverSession() {
    core_->Control().Disconnect();
    core_->Control().SetProgressTarget(nullptr);
    deliveries_.Close();
    core_.reset();
}

bool ReceiverSession::Connect(std::string& error) {
    ReceiverControl& control = core_->Control();
    // Only Bluetooth needs the adapter, as in the device dialog.
    if (device_.linkKind == kLinkKindBluetooth) {
        const AdapterState adapter = control.Link().PrepareAdapter();
        if (adapter != AdapterState::Usable) {
            error = ToUtf8(AdapterStateText(adapter));
            return false;
        }
    }
    control.SetDevice(device_);
    control.SetReceiveTarget(&deliveries_);
    watcher_.ClearLinkStatus();
    if (!control.Connect()) {
        error = ToUtf8(ConnectFailedText(device_.linkKind));
        return false;
    }
    nextTick_ = Clock::now() + options_.tick;
    const bool settled = PumpUntil([&] { return control.IsConnected() || watcher_.LinkFailed(); },
                                   options_.connectLimit);
    if (control.IsConnected()) {
        return true;
    }
    error = settled ? ToUtf8(watcher_.LinkStatus())
                    : "no connection within " +
                          std::to_string(options_.connectLimit.count() / 1000) + " s";
    control.Disconnect();
    return false;
}

BatchResult ReceiverSession::Run(std::u16string_view title, const std::vector<CommandItem>& items,
                                 size_t first, size_t of) {
    ReceiverControl& control = core_->Control();
    watcher_.Begin(items, first, of);
    watcher_.ClearLinkStatus();
    control.ClearCommands();
    int ticks = 0;
    for (const CommandItem& item : items) {
        control.AddCommand(item);
        ticks += std::max(item.budget, 0) + 3;
    }
    BatchResult result;
    if (!control.StartBatch(title)) {
        return result;
    }
    // Each item ends within its budget and two ticks more; a batch that does
    // not end by twice that has lost its link.
    const auto limit = options_.tick * (2 * ticks + 10);
    const bool ended =
        PumpUntil([&] { return !control.IsBatchActive() || watcher_.LinkFailed(); }, limit);
    if (!ended || control.IsBatchActive()) {
        control.Disconnect();
        result.linkLost = true;
    }
    result.commands = watcher_.Records();
    return result;
}

bool ReceiverSession::PumpUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (!done()) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        if (now >= nextTick_) {
            core_->OnTimer();
            // A late tick is not made up: the clock counts whole periods.
            nextTick_ += options_.tick;
            if (nextTick_ <= now) {
                nextTick_ = now + options_.tick;
            }
            continue;
        }
        deliveries_.HandleOne(std::min(deadline, nextTick_));
    }
    return true;
}

} // namespace quorlex::cli
