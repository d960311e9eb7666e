#include "link/bluez/SocketWait.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>

namespace quorlex {

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeEvent::~WakeEvent() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void WakeEvent::Signal() const {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

WaitResult WaitForSocket(int fd, short events, int wakeFd, const std::stop_token& stop,
                         std::chrono::milliseconds timeout, int& error) {
    std::optional<WakeEvent> stopEvent;
    std::optional<std::stop_callback<std::function<void()>>> onStop;
    if (stop.stop_possible()) {
        stopEvent.emplace();
        if (!stopEvent->Valid()) {
            error = errno;
            return WaitResult::Failed;
        }
        onStop.emplace(stop, [&stopEvent] { stopEvent->Signal(); });
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (stop.stop_requested()) {
            return WaitResult::Stopped;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fds[3] = {
            {fd, events, 0}, {wakeFd, POLLIN, 0}, {stopEvent ? stopEvent->Fd() : -1, POLLIN, 0}};
        const int r = poll(fds, 3, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            error = errno;
            return WaitResult::Failed;
        }
        if (fds[2].revents != 0) {
            return WaitResult::Stopped;
        }
        if (fds[1].revents != 0) {
            return WaitResult::Woken;
        }
        if (fds[0].revents != 0) {
            return WaitResult::Ready;
        }
        if (left.count() <= 0) {
            return WaitResult::TimedOut;
        }
    }
}

} // namespace quorlex
