#include "channel/CommandChannel.h"

#include "common/CodePage.h"
#include "common/Text.h"

#include <numeric>

namespace quorlex {

namespace {

int32_t EffectiveResendInterval(int32_t resendEvery) {
    return (resendEvery < 1 || resendEvery > 1000) ? 3 : resendEvery;
}

} // namespace

int CommandChannel::AddCommand(const CommandItem& item) {
    queue_.push_back(item);
    return static_cast<int>(queue_.size()) - 1;
}

void CommandChannel::NotifyProgress(std::u16string_view text) {
    progress_.status.assign(text);
    if (target_ != nullptr && target_->HasWindow()) {
        target_->OnBatchProgress(progress_);
    }
}

bool CommandChannel::StartBatch(std::u16string_view title) {
    // An item left running by a cancelled batch would add its remaining count
    // to the new position, which could then reach the total early.
    current_ = CommandItem{};
    if (queue_.empty()) {
        active_ = false;
        return false;
    }
    active_ = true;
    progress_.total =
        std::accumulate(queue_.begin(), queue_.end(), int32_t{0},
                        [](int32_t sum, const CommandItem& i) { return sum + i.budget; });
    progress_.position = 0;
    progress_.status.clear();
    NotifyProgress(title);
    NextCommand();
    return true;
}

bool CommandChannel::NextCommand() {
    progress_.position += current_.budget;
    current_ = CommandItem{};
    if (queue_.empty()) {
        return false;
    }
    current_ = queue_.front();
    queue_.pop_front();
    currentSent_ = false;
    SendCurrent();
    return true;
}

bool CommandChannel::SendCurrent() {
    if (!link_.IsConnected()) {
        return false;
    }
    currentSent_ = true;
    if (current_.command.empty()) {
        return true;
    }
    if (sendEnabled_) {
        const std::string line = EncodeCp936(current_.command + u"\r\n");
        link_.Send(line.data(), line.size());
    }
    if (!current_.description.empty()) {
        NotifyProgress(current_.description + u"...");
    }
    return true;
}

void CommandChannel::OnTimerTick() {
    if (!link_.IsConnected() || !active_) {
        return;
    }
    if (current_.command.empty() && queue_.empty()) {
        FinishBatch();
        return;
    }
    if (current_.budget < 0) {
        // failed is set before the notification so that a timed-out last item
        // is seen as failed by the progress dialog, which may close on it.
        progress_.failed = 1;
        if (!current_.description.empty()) {
            NotifyProgress(current_.description + u"超时!");
        }
        NextCommand();
        return;
    }
    progress_.position += 1;
    current_.budget -= 1;
    // An item that met a link still coming up goes out on the first tick that
    // finds it up, not only when the resend interval comes round.
    if (!currentSent_ || current_.budget % EffectiveResendInterval(current_.resendEvery) == 0) {
        SendCurrent();
    }
}

bool CommandChannel::Pending() const {
    return !queue_.empty() || !current_.command.empty() || !current_.reply.empty();
}

void CommandChannel::ShowLinkStatus(std::u16string_view text) {
    if (target_ == nullptr || !target_->HasWindow()) {
        return;
    }
    BatchProgress shown = progress_;
    shown.status.assign(text);
    target_->OnBatchProgress(shown);
}

void CommandChannel::ResetReplies() {
    ackBuffer_.clear();
    ackDecoder_.Reset();
}

void CommandChannel::MatchReplies(const char* bytes, size_t count) {
    if (!active_) {
        // Not buffered, so a character cannot be completed across it either.
        ackDecoder_.Reset();
        return;
    }
    ackBuffer_ += ackDecoder_.Decode(std::string_view(bytes, count));
    size_t lf = 0;
    while ((lf = ackBuffer_.find(u'\n')) != std::u16string::npos) {
        const std::u16string line = ackBuffer_.substr(0, lf);
        ackBuffer_.erase(0, lf + 1);
        if (!line.empty()) {
            HandleLine(line);
        }
    }
}

void CommandChannel::HandleLine(const std::u16string& line) {
    if (!Pending()) {
        // The rest of a chunk that ended the batch is consumed unmatched, so it
        // cannot acknowledge an item of the next batch.
        if (active_) {
            FinishBatch();
        }
        return;
    }
    if (!Contains(line, current_.reply)) {
        return;
    }
    progress_.failed = 0;
    if (!current_.description.empty()) {
        NotifyProgress(current_.description + u"成功!");
    }
    NextCommand();
}

void CommandChannel::FinishBatch() {
    active_ = false;
    current_ = CommandItem{};
    queue_.clear();
    progress_.position = progress_.total;
    NotifyProgress(u"指令发送完毕！");
}

} // namespace quorlex
