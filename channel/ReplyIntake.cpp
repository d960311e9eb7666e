#include "channel/ReplyIntake.h"

#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyCodes.h"

#include <algorithm>
#include <thread>

namespace quorlex {

namespace {

bool TakeLine(std::u16string& buffer, std::u16string& line) {
    size_t end = buffer.find(u'\n');
    if (end == std::u16string::npos) {
        end = buffer.find(u'\r');
    }
    if (end == std::u16string::npos) {
        return false;
    }
    line.assign(buffer, 0, end);
    buffer.erase(0, end + 1);
    return true;
}

} // namespace

Sleeper RealSleeper() {
    return [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); };
}

bool ReplyIntake::ParseReplies(const char* bytes, size_t count) {
    settings_.receivedKeys.clear();
    settings_.lineBuffer += decoder_.Decode(std::string_view(bytes, count));
    std::u16string line;
    for (int i = 0; i < kMaxLinesPerChunk && TakeLine(settings_.lineBuffer, line); ++i) {
        const int32_t code = settings_.DispatchReplyLine(line);
        if (Contains(line, u"@GNSS,COM,")) {
            settings_.StoreComReply(line);
        }
        if (code != 0) {
            settings_.receivedKeys.push_back(code);
        }
    }
    // After a full chunk the pause would only let the link outrun the intake.
    if (sleeper_ && count < kFullChunk) {
        sleeper_(kPauseAfterChunk);
    }
    if (settings_.lineBuffer.size() > kMaxPendingChars) {
        settings_.lineBuffer.clear();
    }
    return !settings_.receivedKeys.empty();
}

void ReplyIntake::Reset() {
    settings_.lineBuffer.clear();
    decoder_.Reset();
}

void ReplyIntake::ReportKeys() {
    const auto has = [this](int32_t code) {
        const auto& keys = settings_.receivedKeys;
        return std::find(keys.begin(), keys.end(), code) != keys.end();
    };
    const NetworkBlock& network = settings_.config.datalink.network[0];
    if (has(kReplyBurstBegin)) {
        channel_.NotifyProgress(u"读取仪器信息...");
    }
    if (has(kReplyBurstEnd)) {
        channel_.NotifyProgress(u"仪器信息读取完毕!");
    }
    if (has(kReplyNetworkStatus)) {
        channel_.NotifyProgress(u"网络状态-" + network.statusText);
    }
    if (has(kReplyNetworkError)) {
        channel_.NotifyProgress(u"连接错误-" + network.errorText);
    }
}

bool ReplyIntake::OnReceive(const char* bytes, size_t count) {
    const bool parsed = ParseReplies(bytes, count);
    if (parsed) {
        ReportKeys();
    }
    channel_.MatchReplies(bytes, count);
    return parsed;
}

} // namespace quorlex
