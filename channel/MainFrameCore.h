#pragma once

#include "channel/Cp936ChunkDecoder.h"
#include "channel/ReceiverControl.h"
#include "network/ChunkedBodyDecoder.h"
#include "network/SourceTableStore.h"

#include <functional>

namespace quorlex {

// What the main frame does with received data and with its one-second tick,
// kept free of the window system: the frame forwards to it on the UI thread.
class MainFrameCore {
public:
    explicit MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper = RealSleeper(),
                           LinkOptions linkOptions = {});
    MainFrameCore(BluetoothPlatform& platform, Sleeper sleeper, LinkOptions linkOptions,
                  std::filesystem::path sourceTableCache);

    ReceiverControl& Control() { return control_; }
    SourceTableStore& Store() { return store_; }

    // Set while a mount point fetch expects a source table. Setting it starts
    // the table's byte stream afresh.
    bool FetchActive() const { return fetchActive_; }
    void SetFetchActive(bool active);

    // Told when a finished fetch could not be cached, so the surveyor hears of it.
    using CacheSaveFailed = std::function<void(const std::filesystem::path&, const FileError&)>;
    void SetCacheSaveFailed(CacheSaveFailed handler) { cacheSaveFailed_ = std::move(handler); }

    // A received chunk or a link status text; bytes are valid during the call only.
    int OnReceiverData(const char* bytes, size_t count);
    // The channel's tick, then the fetch time-out. While the receiver relays
    // the names and the table it answers nothing else, so the channel's time
    // stands still on a tick that follows their text.
    void OnTimer();

private:
    bool FetchAnswerStreaming() const;
    // keepCache: what arrived is no table, and the last one cached stays.
    void EndFetch(bool keepCache = false);

    ReceiverControl control_;
    bool fetchActive_ = false;
    SourceTableStore store_;
    // The text of the chunks for the mount point list and the channel.
    Cp936ChunkDecoder decoder_;
    // The same bytes for the table, without a chunked body's framing.
    ChunkedBodyDecoder dechunker_;
    Cp936ChunkDecoder tableDecoder_;
    CacheSaveFailed cacheSaveFailed_;
};

} // namespace quorlex
