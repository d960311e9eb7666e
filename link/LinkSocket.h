#pragma once

#include "link/BluetoothPlatform.h"

#include <atomic>
#include <cstdint>

namespace quorlex {

// One RFCOMM socket, shared by the threads that use it. Close() only stops
// and shuts it down; the handle itself is released when the last user lets
// go, so a thread still blocked on it can never see the handle of a later
// connection that the system handed out again.
class LinkSocket {
public:
    LinkSocket(BluetoothPlatform& platform, SocketHandle handle, uint64_t address,
               uint64_t generation)
        : platform_(platform), handle_(handle), address_(address), generation_(generation) {}
    ~LinkSocket() { platform_.CloseSocket(handle_); }
    LinkSocket(const LinkSocket&) = delete;
    LinkSocket& operator=(const LinkSocket&) = delete;

    SocketHandle Handle() const { return handle_; }
    uint64_t Address() const { return address_; }
    // The connection attempt this socket belongs to.
    uint64_t Generation() const { return generation_; }
    // The reader's stop event: set once Close() has been called.
    bool StopRequested() const { return stopEvent_.load(); }

    // true for the first caller only.
    bool MarkEnded() { return !ended_.exchange(true); }

    // Sets the stop event, forgets the link key and shuts the socket down in
    // both directions, which wakes any thread blocked on it. Later calls do nothing.
    void Close();

private:
    BluetoothPlatform& platform_;
    const SocketHandle handle_;
    const uint64_t address_;
    const uint64_t generation_;
    std::atomic<bool> stopEvent_{false};
    std::atomic<bool> ended_{false};
};

} // namespace quorlex
