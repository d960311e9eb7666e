#pragma once

#include "link/ThreadStarter.h"

#include <chrono>
#include <functional>
#include <string_view>

namespace quorlex {

struct LinkOptions {
    // How long the reader waits for data before it looks at its stop event again.
    std::chrono::milliseconds readableWait{9000};
    // How long Close() waits for a connection attempt to give up.
    std::chrono::milliseconds workerStopLimit{3000};
    // nullptr: plain system threads.
    ThreadStarter* threadStarter = nullptr;
    // Developer diagnostics such as a failed connect's error code; empty: standard error.
    std::function<void(std::u16string_view)> diagnostic;
};

} // namespace quorlex
