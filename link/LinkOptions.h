#pragma once

#include "link/TcpStream.h"
#include "link/ThreadStarter.h"

#include <chrono>
#include <functional>
#include <string_view>

namespace quorlex {

class StreamFactory;
class WireTap;

// How long the reader waits for data before it looks at its stop event again.
inline constexpr std::chrono::milliseconds kReadableWait{9000};
// How long Close() waits for a connection attempt to give up.
inline constexpr std::chrono::milliseconds kWorkerStopLimit{3000};

// Tests shorten the waits; the application keeps the defaults.
struct LinkOptions {
    std::chrono::milliseconds readableWait = kReadableWait;
    std::chrono::milliseconds workerStopLimit = kWorkerStopLimit;
    // nullptr: plain system threads.
    ThreadStarter* threadStarter = nullptr;
    // Connect and keep-alive times of TCP links.
    TcpTimes tcpTimes;
    // nullptr: the streams of this machine (RFCOMM, TCP, serial).
    StreamFactory* streamFactory = nullptr;
    // nullptr: the link's own log (ReceiverLink::Wire()). A tool that links
    // to several receivers in turn gives them all one log; it must outlive
    // the link.
    WireTap* wireTap = nullptr;
    // Developer diagnostics such as a failed connect's error code; empty: standard error.
    std::function<void(std::u16string_view)> diagnostic;
};

} // namespace quorlex
