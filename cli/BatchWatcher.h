#pragma once

#include "channel/ProgressTarget.h"
#include "cli/ProgressLog.h"
#include "model/CommandItem.h"

#include <chrono>
#include <string>
#include <vector>

namespace quorlex::cli {

enum class CommandResult {
    Acknowledged,
    TimedOut, // sent and resent, never acknowledged within its budget
    NotSent,  // the batch ended before its turn (the link was lost)
};

struct CommandRecord {
    CommandItem item;
    CommandResult result = CommandResult::NotSent;
    double seconds = 0.0;
    // The receiver's last line that named the command without acknowledging
    // it (an error answer), masked; empty when there was none.
    std::u16string answer;
};

// Follows a batch through the channel's notifications: the channel ends its
// items in order, each with its description followed by "成功!" or "超时!",
// so the n-th ending belongs to the n-th item. Also keeps the link's own
// status texts and the receiver's answers that refused a command.
class BatchWatcher : public ProgressTarget {
public:
    explicit BatchWatcher(ProgressLog& log) : log_(log) {}

    // Progress lines count the items from first + 1 to of; 0 and 0: within this batch.
    void Begin(const std::vector<CommandItem>& items, size_t first = 0, size_t of = 0);
    const std::vector<CommandRecord>& Records() const { return records_; }
    // A received chunk, before the intake sees it.
    void OnReceived(const char* bytes, size_t count);

    // The latest status text of the link itself, and whether it says the link
    // is not (or no longer) usable.
    const std::u16string& LinkStatus() const { return linkStatus_; }
    bool LinkFailed() const { return linkFailed_; }
    void ClearLinkStatus();

    bool HasWindow() const override { return true; }
    void OnBatchProgress(const BatchProgress& progress) override;

private:
    using Clock = std::chrono::steady_clock;

    bool TakeLinkStatus(const std::u16string& status);
    void EndCurrent(CommandResult result);
    void TakeLine(const std::string& line);

    ProgressLog& log_;
    std::vector<CommandRecord> records_;
    size_t current_ = 0;
    size_t first_ = 0;
    size_t of_ = 0;
    Clock::time_point currentSince_;
    std::string pendingLine_;
    std::u16string linkStatus_;
    bool linkFailed_ = false;
};

} // namespace quorlex::cli
