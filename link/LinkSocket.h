#pragma once

#include "link/ByteStream.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace quorlex {

// One connection's stream, shared by the threads that use it. Close() only
// stops and shuts it down; the stream itself is released when the last user
// lets go, so a thread still blocked on it can never see the handle of a
// later connection that the system handed out again.
class LinkSocket {
public:
    LinkSocket(std::unique_ptr<ByteStream> stream, uint64_t generation)
        : stream_(std::move(stream)), generation_(generation) {}
    LinkSocket(const LinkSocket&) = delete;
    LinkSocket& operator=(const LinkSocket&) = delete;

    ByteStream& Stream() { return *stream_; }
    // The connection attempt this socket belongs to.
    uint64_t Generation() const { return generation_; }
    // The reader's stop event: set once Close() has been called.
    bool StopRequested() const { return stopEvent_.load(); }

    // true for the first caller only.
    bool MarkEnded() { return !ended_.exchange(true); }

    // Sets the stop event and shuts the stream down in both directions, which
    // wakes any thread blocked on it. Later calls do nothing.
    void Close();

private:
    const std::unique_ptr<ByteStream> stream_;
    const uint64_t generation_;
    std::atomic<bool> stopEvent_{false};
    std::atomic<bool> ended_{false};
};

} // namespace quorlex
