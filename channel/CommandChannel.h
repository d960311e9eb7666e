#pragma once

#include "channel/BatchProgress.h"
#include "channel/CommandLink.h"
#include "channel/Cp936ChunkDecoder.h"
#include "channel/ProgressTarget.h"
#include "model/CommandItem.h"

#include <deque>
#include <string>
#include <string_view>

namespace quorlex {

// A batch of commands sent one at a time, paced by the one-second tick:
// each is resent until acknowledged or its budget runs out, and every step is
// reported to the progress target.
class CommandChannel {
public:
    explicit CommandChannel(CommandLink& link) : link_(link) {}

    // When false, commands are not sent (the chosen device is not a Bluetooth receiver).
    void SetSendEnabled(bool enabled) { sendEnabled_ = enabled; }

    void SetProgressTarget(ProgressTarget* target) { target_ = target; }
    void ClearCommands() { queue_.clear(); }
    int AddCommand(const CommandItem& item);
    bool StartBatch(std::u16string_view title);
    void OnTimerTick();
    void MatchReplies(const char* bytes, size_t count);
    void FinishBatch();
    void NotifyProgress(std::u16string_view text);
    // Shows a text of the link's own (how a connection attempt went) to a
    // progress window, without changing the batch.
    void ShowLinkStatus(std::u16string_view text);
    // Forgets received text not yet cut into lines: a new connection starts clean.
    void ResetReplies();

    bool IsActive() const { return active_; }
    const BatchProgress& Progress() const { return progress_; }
    const CommandItem& Current() const { return current_; }
    size_t QueuedCount() const { return queue_.size(); }

private:
    bool NextCommand();
    bool SendCurrent();
    bool Pending() const;
    void HandleLine(const std::u16string& line);

    CommandLink& link_;
    bool sendEnabled_ = true;
    bool active_ = false;
    CommandItem current_;
    std::deque<CommandItem> queue_;
    BatchProgress progress_;
    ProgressTarget* target_ = nullptr;
    std::u16string ackBuffer_;
    Cp936ChunkDecoder ackDecoder_;
    // The current item has gone out at least once (the link was up when it became current).
    bool currentSent_ = false;
};

} // namespace quorlex
