#include "sim/SimConnection.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlex {

namespace {

constexpr std::size_t kReceiveSize = 4096;
// A line longer than this is noise, not a command.
constexpr std::size_t kMaxCommand = 4096;
// Paced output leaves in small writes so the far end sees a steady stream.
constexpr std::size_t kPacedWrite = 64;
constexpr int kBitsPerByte = 10;

timespec ToTimespec(std::chrono::steady_clock::duration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

SimConnection::SimConnection(int fd, LineHandler& handler)
    : fd_(fd), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), handler_(handler) {
    struct stat status {};
    isSocket_ = fstat(fd, &status) != 0 || S_ISSOCK(status.st_mode);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    }
    if (wakeFd_ < 0) {
        running_ = false;
        return;
    }
    thread_ = std::thread([this] { Serve(); });
}

SimConnection::~SimConnection() {
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
    if (fd_ >= 0) {
        close(fd_);
    }
}

ssize_t SimConnection::ReceiveSome(char* buffer, std::size_t size) {
    return isSocket_ ? recv(fd_, buffer, size, 0) : read(fd_, buffer, size);
}

ssize_t SimConnection::SendSome(std::string_view bytes) {
    return isSocket_ ? send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT)
                     : write(fd_, bytes.data(), bytes.size());
}

void SimConnection::Cut() {
    if (isSocket_) {
        shutdown(fd_, SHUT_RDWR);
        return;
    }
    close(fd_);
    fd_ = -1;
}

void SimConnection::Serve() {
    std::string pending;
    char buffer[kReceiveSize];
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[1].revents != 0) {
            break;
        }
        const ssize_t n = ReceiveSome(buffer, sizeof buffer);
        if (n == 0) {
            break; // the peer closed
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                continue;
            }
            break;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        if (!TakeLines(pending)) {
            break;
        }
    }
    running_ = false;
}

bool SimConnection::TakeLines(std::string& pending) {
    for (;;) {
        const std::size_t end = pending.find_first_of("\r\n");
        if (end == std::string::npos) {
            break;
        }
        std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        const bool noise = discarding_ || line.size() > kMaxCommand;
        discarding_ = false;
        if (line.empty() || noise) {
            continue; // the LF of CR LF, a blank line, or the end of an overlong one
        }
        const LineHandler::Reply reply = handler_.Answer(line);
        const bool alive = !reply.dropInstead && Reply(reply.lines);
        if (reply.dropInstead) {
            Cut();
        }
        handler_.Answered();
        if (!alive) {
            return false;
        }
    }
    // No command is this long: drop it up to its line end.
    if (pending.size() > kMaxCommand) {
        pending.clear();
        discarding_ = true;
    }
    return true;
}

bool SimConnection::Reply(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return true;
    }
    const SimulatorFaults faults = handler_.CurrentFaults();
    const int lineRate = handler_.CurrentLineRate();
    if (faults.replyDelay.count() > 0 && !Pause(faults.replyDelay)) {
        return false;
    }
    if (faults.splitPieceBytes == 0) {
        std::string all;
        for (const std::string& line : lines) {
            all += line;
        }
        return Transmit(all, faults, lineRate);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        for (std::size_t off = 0; off < line.size(); off += faults.splitPieceBytes) {
            if ((i > 0 || off > 0) && !Pause(faults.splitPause)) {
                return false;
            }
            if (!Transmit(line.substr(off, faults.splitPieceBytes), faults, lineRate)) {
                return false;
            }
        }
    }
    return true;
}

bool SimConnection::Transmit(std::string_view bytes, const SimulatorFaults& faults, int lineRate) {
    bool cut = false;
    if (faults.dropAfterBytes > 0) {
        const std::size_t sent = bytesSent_.load();
        const std::size_t room = faults.dropAfterBytes > sent ? faults.dropAfterBytes - sent : 0;
        if (bytes.size() >= room) {
            bytes = bytes.substr(0, room);
            cut = true;
        }
    }
    const std::size_t step = lineRate > 0 ? kPacedWrite : std::max<std::size_t>(bytes.size(), 1);
    // The line is busy back to back from here: a piece handed over late (this
    // thread woke late) does not delay the pieces after it, as bytes on a
    // serial line are not delayed by the sender's scheduling.
    lineFree_ = std::max(lineFree_, Clock::now());
    for (std::size_t off = 0; off < bytes.size(); off += step) {
        const std::string_view piece = bytes.substr(off, step);
        if (lineRate > 0) {
            // A piece is handed over once its last byte would have crossed the line.
            lineFree_ += std::chrono::microseconds(static_cast<int64_t>(piece.size()) *
                                                   kBitsPerByte * 1'000'000 / lineRate);
            if (!PauseUntil(lineFree_)) {
                return false;
            }
        }
        if (!WriteAll(piece)) {
            return false;
        }
    }
    if (cut) {
        Cut();
        return false;
    }
    return true;
}

bool SimConnection::WriteAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = SendSome(bytes);
        if (n > 0) {
            bytesSent_ += static_cast<std::size_t>(n);
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        // The far end is not reading: wait for room, or for the order to stop.
        pollfd fds[2] = {{fd_, POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[1].revents != 0) {
            return false;
        }
    }
    return true;
}

bool SimConnection::Pause(Clock::duration duration) {
    return PauseUntil(Clock::now() + duration);
}

bool SimConnection::PauseUntil(Clock::time_point when) {
    for (;;) {
        const auto left = when - Clock::now();
        if (left <= Clock::duration::zero()) {
            return true;
        }
        pollfd wake{wakeFd_, POLLIN, 0};
        const timespec timeout = ToTimespec(left);
        const int n = ppoll(&wake, 1, &timeout, nullptr);
        if (n > 0) {
            return false;
        }
        if (n < 0 && errno != EINTR) {
            return false;
        }
    }
}

} // namespace quorlex
