#include "tests/replay/ReplayStream.h"

#include <algorithm>
#include <cerrno>

namespace quorlex::replay {

void ReplayWire::SetTick(int now) {
    const std::lock_guard lock(mutex);
    tick = now;
}

void ReplayWire::Open(bool succeeds) {
    const std::lock_guard lock(mutex);
    outcome = succeeds ? Outcome::Opens : Outcome::Fails;
    changed.notify_all();
}

void ReplayWire::Push(std::string chunk) {
    const std::lock_guard lock(mutex);
    chunks.push_back(std::move(chunk));
    changed.notify_all();
}

void ReplayWire::End(Ending how) {
    const std::lock_guard lock(mutex);
    ending = how;
    changed.notify_all();
}

bool ReplayWire::ReaderWaitingIdle() const {
    const std::lock_guard lock(mutex);
    return chunks.empty() && readerWaiting;
}

bool ReplayWire::ReaderGone() const {
    const std::lock_guard lock(mutex);
    return readerGone;
}

std::vector<ReplayWire::Sent> ReplayWire::SentBytes() const {
    const std::lock_guard lock(mutex);
    return sent;
}

OpenResult ReplayStream::Open(std::stop_token stop) {
    // Made before the lock is taken: it runs at once when stop is already requested.
    const std::stop_callback wake(stop, [this] {
        const std::lock_guard inner(wire->mutex);
        wire->changed.notify_all();
    });
    std::unique_lock lock(wire->mutex);
    wire->changed.wait(lock, [&] {
        return wire->outcome != ReplayWire::Outcome::Pending || shutDown || stop.stop_requested();
    });
    if (shutDown || stop.stop_requested()) {
        return {OpenStatus::Failed, {}};
    }
    const bool opens = wire->outcome == ReplayWire::Outcome::Opens;
    wire->outcome = ReplayWire::Outcome::Pending;
    if (opens) {
        wire->ending = ReplayWire::Ending::None;
        wire->readerGone = false;
    }
    return {opens ? OpenStatus::Opened : OpenStatus::Failed, {}};
}

// The time-out is ignored: the replay decides when anything happens.
int ReplayStream::WaitReadable(std::chrono::milliseconds /*timeout*/) {
    std::unique_lock lock(wire->mutex);
    wire->readerWaiting = true;
    wire->changed.notify_all();
    wire->changed.wait(lock, [&] {
        return !wire->chunks.empty() || wire->ending != ReplayWire::Ending::None || shutDown;
    });
    wire->readerWaiting = false;
    return 1;
}

std::ptrdiff_t ReplayStream::Read(char* buffer, std::size_t size) {
    const std::lock_guard lock(wire->mutex);
    if (!wire->chunks.empty() && !shutDown) {
        std::string& chunk = wire->chunks.front();
        const std::size_t n = std::min(size, chunk.size());
        std::copy_n(chunk.data(), n, buffer);
        chunk.erase(0, n);
        if (chunk.empty()) {
            wire->chunks.pop_front();
        }
        return static_cast<std::ptrdiff_t>(n);
    }
    wire->readerGone = true;
    wire->changed.notify_all();
    if (wire->ending == ReplayWire::Ending::Failed && !shutDown) {
        errno = ECONNRESET;
        return -1;
    }
    return 0;
}

std::ptrdiff_t ReplayStream::Write(const char* bytes, std::size_t size) {
    const std::lock_guard lock(wire->mutex);
    if (shutDown || wire->ending != ReplayWire::Ending::None) {
        errno = EPIPE;
        return -1;
    }
    wire->sent.push_back({wire->tick, std::string(bytes, size)});
    return static_cast<std::ptrdiff_t>(size);
}

void ReplayStream::Shutdown() {
    const std::lock_guard lock(wire->mutex);
    shutDown = true;
    wire->changed.notify_all();
}

int ReplayStream::LastError() {
    return errno;
}

} // namespace quorlex::replay
