#include "channel/MainFrameCore.h"

#include "common/CodePage.h"

namespace quorlex {

MainFrameCore::MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper, LinkOptions linkOptions)
    : control_(platform, std::move(sleeper), std::move(linkOptions)) {}

MainFrameCore::MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper, LinkOptions linkOptions,
                             std::filesystem::path sourceTableCache)
    : control_(platform, std::move(sleeper), std::move(linkOptions)),
      store_(std::move(sourceTableCache)) {}

int MainFrameCore::OnReceiverData(const char* bytes, size_t count) {
    const std::u16string text = DecodeCp936(std::string_view(bytes, count));
    store_.FeedMountPointList(text);
    if (fetchActive_) {
        if (store_.FeedSourceTable(text)) {
            control_.NotifyProgress(store_.StatusText());
        }
        if (store_.IsComplete()) {
            EndFetch();
        }
    }
    control_.OnReceive(bytes, count);
    return 0;
}

void MainFrameCore::OnTimer() {
    control_.OnTimerTick();
    if (!fetchActive_) {
        return;
    }
    store_.TickTimeout();
    if (store_.IsTimedOut()) {
        control_.NotifyProgress(store_.StatusText());
        EndFetch();
    }
}

void MainFrameCore::EndFetch() {
    fetchActive_ = false;
    FileError error;
    if (!store_.SaveCache(&error) && cacheSaveFailed_) {
        cacheSaveFailed_(store_.FileName(), error);
    }
}

} // namespace quorlex
