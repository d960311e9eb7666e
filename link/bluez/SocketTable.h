#pragma once

#include "link/bluez/SocketWait.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>

namespace quorlex {

// The open sockets, shared by several threads: one thread may shut a socket
// down or close it while another waits on it. A handle is the socket's
// descriptor number; the descriptor itself stays open until the last waiter
// has let go, so its number cannot be reused under a waiter's feet.
class SocketTable {
public:
    struct Entry {
        explicit Entry(int descriptor) : fd(descriptor) {}
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

        const int fd;
        WakeEvent wake; // signalled by Shutdown and Close
        std::atomic<bool> shut{false};
    };
    using EntryPtr = std::shared_ptr<Entry>;

    // Takes ownership of fd; -1 (fd closed, error set) when no wake event can be made.
    int Add(int fd, int& error);
    // Null once the handle is closed or was never ours.
    EntryPtr Find(int handle) const;

    // Ready, TimedOut, Stopped, Woken (shut down or closed meanwhile) or Failed.
    WaitResult Wait(int handle, short events, std::chrono::milliseconds timeout,
                    const std::stop_token& stop, int& error) const;

    bool Shutdown(int handle);
    bool Close(int handle);

private:
    mutable std::mutex mutex_;
    std::map<int, EntryPtr> entries_;
};

} // namespace quorlex
