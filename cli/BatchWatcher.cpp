#include "cli/BatchWatcher.h"

#include "cli/Secrets.h"
#include "common/CodePage.h"
#include "common/Text.h"
#include "link/LinkStatus.h"

#include <array>
#include <cstdio>

namespace quorlex::cli {
namespace {

constexpr std::u16string_view kAcknowledged = u"成功!";
constexpr std::u16string_view kTimedOut = u"超时!";
// Longer than any line the receiver sends; an unended line is not kept past it.
constexpr size_t kMaxLine = 10000;

// "SET,NETWORK.PORT" of "SET,NETWORK.PORT,2101": what an answer about the
// command names.
std::string CommandName(std::u16string_view command) {
    const size_t first = command.find(u',');
    const size_t second = first == command.npos ? command.npos : command.find(u',', first + 1);
    return ToUtf8(command.substr(0, second));
}

std::string Seconds(double seconds) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f s", seconds);
    return text.data();
}

} // namespace

void BatchWatcher::Begin(const std::vector<CommandItem>& items, size_t first, size_t of) {
    first_ = first;
    of_ = of == 0 ? items.size() : of;
    records_.clear();
    for (const CommandItem& item : items) {
        records_.push_back({item, CommandResult::NotSent, 0.0, {}});
    }
    current_ = 0;
    currentSince_ = Clock::now();
    pendingLine_.clear();
}

void BatchWatcher::ClearLinkStatus() {
    linkStatus_.clear();
    linkFailed_ = false;
}

bool BatchWatcher::TakeLinkStatus(const std::u16string& status) {
    static constexpr std::array<std::u16string_view, 5> kStatuses{
        kLinkConnected, kLinkConnectFailed, kLinkPinRefused, kLinkDisconnected, kLinkError};
    for (const std::u16string_view known : kStatuses) {
        if (status == known) {
            linkStatus_ = status;
            linkFailed_ = status != kLinkConnected;
            log_.Line(ToUtf8(status));
            return true;
        }
    }
    return false;
}

void BatchWatcher::OnBatchProgress(const BatchProgress& progress) {
    log_.Bar(progress.position, progress.total, progress.status);
    if (TakeLinkStatus(progress.status) || current_ >= records_.size()) {
        return;
    }
    const std::u16string& description = records_[current_].item.description;
    if (progress.status == description + std::u16string(kAcknowledged)) {
        EndCurrent(CommandResult::Acknowledged);
    } else if (progress.status == description + std::u16string(kTimedOut)) {
        EndCurrent(CommandResult::TimedOut);
    }
}

void BatchWatcher::EndCurrent(CommandResult result) {
    CommandRecord& record = records_[current_];
    const Clock::time_point now = Clock::now();
    record.result = result;
    if (result == CommandResult::Acknowledged) {
        record.answer.clear(); // lines that came with the acknowledgement
    }
    record.seconds = std::chrono::duration<double>(now - currentSince_).count();
    currentSince_ = now;
    ++current_;
    // Starting from the literal would trip a GCC 12 -Wrestrict false positive.
    std::string line = "[";
    line += std::to_string(first_ + current_) + "/" + std::to_string(of_) + "] " +
            ToUtf8(record.item.description) +
            ToUtf8(result == CommandResult::Acknowledged ? kAcknowledged : kTimedOut) + " (" +
            ToUtf8(MaskedCommand(record.item.command)) + ", " + Seconds(record.seconds) + ")";
    if (!record.answer.empty()) {
        line += " receiver answered: " + ToUtf8(record.answer);
    }
    log_.Line(line);
}

void BatchWatcher::OnReceived(const char* bytes, size_t count) {
    pendingLine_.append(bytes, count);
    size_t end = 0;
    while ((end = pendingLine_.find('\n')) != std::string::npos) {
        TakeLine(pendingLine_.substr(0, end));
        pendingLine_.erase(0, end + 1);
    }
    if (pendingLine_.size() > kMaxLine) {
        pendingLine_.clear();
    }
}

void BatchWatcher::TakeLine(const std::string& line) {
    if (current_ >= records_.size()) {
        return;
    }
    const CommandRecord& record = records_[current_];
    const std::string name = CommandName(record.item.command);
    const std::string reply = ToUtf8(record.item.reply);
    if (line.find(name) == std::string::npos ||
        (!reply.empty() && line.find(reply) != std::string::npos)) {
        return;
    }
    std::u16string text = DecodeCp936(line);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u' ')) {
        text.pop_back();
    }
    records_[current_].answer = MaskedCommand(text);
}

} // namespace quorlex::cli
