#include "link/StreamWait.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace quorlex {

WaitOutcome WaitFor(int fd, short events, int wakeFd, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int wait = -1;
        if (timeout.count() >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            wait = static_cast<int>(std::max<int64_t>(left.count(), 0));
        }
        pollfd entries[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        const int ready = ::poll(entries, wakeFd >= 0 ? 2 : 1, wait);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitOutcome::Failed;
        }
        if (ready == 0) {
            return WaitOutcome::TimedOut;
        }
        if (wakeFd >= 0 && entries[1].revents != 0) {
            return WaitOutcome::Woken;
        }
        if ((entries[0].revents & POLLNVAL) != 0) {
            errno = EBADF;
            return WaitOutcome::Failed;
        }
        return WaitOutcome::Ready;
    }
}

int WaitReadableFor(int fd, int wakeFd, std::chrono::milliseconds timeout) {
    switch (WaitFor(fd, POLLIN, wakeFd, timeout)) {
    case WaitOutcome::Ready:
    case WaitOutcome::Woken:
        return 1;
    case WaitOutcome::TimedOut:
        return 0;
    case WaitOutcome::Failed:
        break;
    }
    return -1;
}

int MakeWakeDescriptor() {
    return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

void SignalWake(int wakeFd) {
    if (wakeFd < 0) {
        return;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
}

} // namespace quorlex
