#include "channel/MainFrameCore.h"

#include "common/CodePage.h"
#include "link/LinkStatus.h"

#include <array>
#include <optional>

namespace quorlex {

namespace {

// The link hands its status texts over the same way as received bytes; a
// delivery that is exactly one of them is the link speaking, not the receiver.
std::optional<std::u16string_view> LinkStatusOf(std::string_view bytes) {
    static constexpr std::array<std::u16string_view, 5> kStatuses = {
        kLinkConnected, kLinkConnectFailed, kLinkPinRefused, kLinkDisconnected, kLinkError};
    static const std::array<std::string, 5> kEncoded = [] {
        std::array<std::string, 5> encoded;
        for (size_t i = 0; i < kStatuses.size(); ++i) {
            encoded[i] = EncodeCp936(kStatuses[i]);
        }
        return encoded;
    }();
    for (size_t i = 0; i < kEncoded.size(); ++i) {
        if (bytes == kEncoded[i]) {
            return kStatuses[i];
        }
    }
    return std::nullopt;
}

} // namespace

MainFrameCore::MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper, LinkOptions linkOptions)
    : control_(platform, std::move(sleeper), std::move(linkOptions)) {}

MainFrameCore::MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper, LinkOptions linkOptions,
                             std::filesystem::path sourceTableCache)
    : control_(platform, std::move(sleeper), std::move(linkOptions)),
      store_(std::move(sourceTableCache)) {}

int MainFrameCore::OnReceiverData(const char* bytes, size_t count) {
    if (const auto status = LinkStatusOf(std::string_view(bytes, count))) {
        // Not received data: it is neither parsed nor matched, and makes no
        // pause. Whatever byte was kept back belonged to a stream now ended.
        decoder_.Reset();
        control_.OnLinkStatus(*status);
        return 0;
    }
    const std::string_view chunk(bytes, count);
    const std::u16string text = decoder_.Decode(chunk);
    store_.FeedMountPointList(text);
    if (fetchActive_) {
        const std::u16string table = tableDecoder_.Decode(dechunker_.Take(chunk));
        if (store_.FeedSourceTable(table)) {
            control_.NotifyProgress(store_.StatusText());
        }
        if (store_.IsComplete()) {
            EndFetch();
        } else if (store_.IsRefused()) {
            EndFetch(true);
        }
    }
    control_.OnReceive(bytes, count);
    return 0;
}

void MainFrameCore::SetFetchActive(bool active) {
    if (active && !fetchActive_) {
        dechunker_.Reset();
        tableDecoder_.Reset();
    }
    fetchActive_ = active;
}

// The receiver sends the names and the table before it answers the command
// after the list request; counting that command's time while a large list
// streams in would time it out although the receiver is plainly busy with
// what it was asked.
bool MainFrameCore::FetchAnswerStreaming() const {
    const bool answering = store_.ListPhase() == MountListPhase::Inside ||
                           store_.State() == SourceTableState::Receiving;
    return fetchActive_ && answering && store_.Ticks() == 0;
}

void MainFrameCore::OnTimer() {
    if (!FetchAnswerStreaming()) {
        control_.OnTimerTick();
    }
    if (!fetchActive_) {
        return;
    }
    store_.TickTimeout();
    if (store_.IsTimedOut()) {
        control_.NotifyProgress(store_.StatusText());
        EndFetch();
    }
}

// A refusal carries no table: writing it would replace the last good one,
// which the network page still offers offline.
void MainFrameCore::EndFetch(bool keepCache) {
    fetchActive_ = false;
    if (keepCache) {
        return;
    }
    FileError error;
    if (!store_.SaveCache(&error) && cacheSaveFailed_) {
        cacheSaveFailed_(store_.FileName(), error);
    }
}

} // namespace quorlex
