#include "link/bluez/SocketTable.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace quorlex {

SocketTable::Entry::~Entry() {
    close(fd);
}

int SocketTable::Add(int fd, int& error) {
    auto entry = std::make_shared<Entry>(fd);
    if (!entry->wake.Valid()) {
        error = errno;
        return -1;
    }
    std::lock_guard lock(mutex_);
    entries_[fd] = std::move(entry);
    return fd;
}

SocketTable::EntryPtr SocketTable::Find(int handle) const {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(handle);
    return it != entries_.end() ? it->second : nullptr;
}

WaitResult SocketTable::Wait(int handle, short events, std::chrono::milliseconds timeout,
                             const std::stop_token& stop, int& error) const {
    const EntryPtr entry = Find(handle);
    if (!entry) {
        error = EBADF;
        return WaitResult::Failed;
    }
    if (entry->shut.load()) {
        return WaitResult::Woken;
    }
    return WaitForSocket(entry->fd, events, entry->wake.Fd(), stop, timeout, error);
}

bool SocketTable::Shutdown(int handle) {
    const EntryPtr entry = Find(handle);
    if (!entry) {
        errno = EBADF;
        return false;
    }
    entry->shut = true;
    entry->wake.Signal();
    // A socket that never connected has nothing to shut; the wake-up is what counts.
    if (shutdown(entry->fd, SHUT_RDWR) != 0 && errno != ENOTCONN) {
        return false;
    }
    return true;
}

bool SocketTable::Close(int handle) {
    EntryPtr entry;
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(handle);
        if (it == entries_.end()) {
            errno = EBADF;
            return false;
        }
        entry = std::move(it->second);
        entries_.erase(it);
    }
    entry->shut = true;
    entry->wake.Signal();
    return true;
}

} // namespace quorlex
