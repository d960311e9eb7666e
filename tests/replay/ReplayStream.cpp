#include "tests/replay/ReplayStream.h"

#include <algorithm>
#include <cerrno>

namespace quorlex::replay {

void ReplayWire::SetTick(int now) {
    const std::lock_guard lock(mutex_);
    tick_ = now;
}

void ReplayWire::Open(bool succeeds) {
    const std::lock_guard lock(mutex_);
    outcome_ = succeeds ? Outcome::Opens : Outcome::Fails;
    changed_.notify_all();
}

void ReplayWire::Push(std::string chunk) {
    const std::lock_guard lock(mutex_);
    chunks_.push_back(std::move(chunk));
    changed_.notify_all();
}

void ReplayWire::End(Ending how) {
    const std::lock_guard lock(mutex_);
    ending_ = how;
    changed_.notify_all();
}

bool ReplayWire::ReaderWaitingIdle() const {
    const std::lock_guard lock(mutex_);
    return chunks_.empty() && readerWaiting_;
}

bool ReplayWire::ReaderGone() const {
    const std::lock_guard lock(mutex_);
    return readerGone_;
}

std::vector<ReplayWire::Sent> ReplayWire::SentBytes() const {
    const std::lock_guard lock(mutex_);
    return sent_;
}

OpenResult ReplayStream::Open(std::stop_token stop) {
    // Made before the lock is taken: it runs at once when stop is already requested.
    const std::stop_callback wake(stop, [this] {
        const std::lock_guard inner(wire_->mutex_);
        wire_->changed_.notify_all();
    });
    std::unique_lock lock(wire_->mutex_);
    wire_->changed_.wait(lock, [&] {
        return wire_->outcome_ != ReplayWire::Outcome::Pending || shutDown_ ||
               stop.stop_requested();
    });
    if (shutDown_ || stop.stop_requested()) {
        return {OpenStatus::Failed, {}};
    }
    const bool opens = wire_->outcome_ == ReplayWire::Outcome::Opens;
    wire_->outcome_ = ReplayWire::Outcome::Pending;
    if (opens) {
        wire_->ending_ = ReplayWire::Ending::None;
        wire_->readerGone_ = false;
    }
    return {opens ? OpenStatus::Opened : OpenStatus::Failed, {}};
}

// The time-out is ignored: the replay decides when anything happens.
int ReplayStream::WaitReadable(std::chrono::milliseconds /*timeout*/) {
    std::unique_lock lock(wire_->mutex_);
    wire_->readerWaiting_ = true;
    wire_->changed_.notify_all();
    wire_->changed_.wait(lock, [&] {
        return !wire_->chunks_.empty() || wire_->ending_ != ReplayWire::Ending::None || shutDown_;
    });
    wire_->readerWaiting_ = false;
    return 1;
}

std::ptrdiff_t ReplayStream::Read(char* buffer, std::size_t size) {
    const std::lock_guard lock(wire_->mutex_);
    if (!wire_->chunks_.empty() && !shutDown_) {
        std::string& chunk = wire_->chunks_.front();
        const std::size_t n = std::min(size, chunk.size());
        std::copy_n(chunk.data(), n, buffer);
        chunk.erase(0, n);
        if (chunk.empty()) {
            wire_->chunks_.pop_front();
        }
        return static_cast<std::ptrdiff_t>(n);
    }
    wire_->readerGone_ = true;
    wire_->changed_.notify_all();
    if (wire_->ending_ == ReplayWire::Ending::Failed && !shutDown_) {
        errno = ECONNRESET;
        return -1;
    }
    return 0;
}

std::ptrdiff_t ReplayStream::Write(const char* bytes, std::size_t size) {
    const std::lock_guard lock(wire_->mutex_);
    if (shutDown_ || wire_->ending_ != ReplayWire::Ending::None) {
        errno = EPIPE;
        return -1;
    }
    wire_->sent_.push_back({wire_->tick_, std::string(bytes, size)});
    return static_cast<std::ptrdiff_t>(size);
}

void ReplayStream::Shutdown() {
    const std::lock_guard lock(wire_->mutex_);
    shutDown_ = true;
    wire_->changed_.notify_all();
}

int ReplayStream::LastError() {
    return errno;
}

} // namespace quorlex::replay
