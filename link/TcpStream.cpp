#include "link/TcpStream.h"

#include "common/Text.h"
#include "link/LinkTarget.h"
#include "link/StreamWait.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stop_token>
#include <sys/socket.h>
#include <unistd.h>

namespace quorlex {
namespace {

using Clock = std::chrono::steady_clock;

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

void SetOption(int fd, int level, int name, int value) {
    ::setsockopt(fd, level, name, &value, sizeof value);
}

// Keep-alive finds a peer that went away without a word; the user time-out
// does the same for sends that are never acknowledged.
void TuneConnected(int fd, const TcpTimes& times) {
    SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, static_cast<int>(times.keepAliveIdle.count()));
    SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, static_cast<int>(times.keepAliveInterval.count()));
    SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, times.keepAliveProbes);
    SetOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(times.unacknowledged.count()));
    // Commands are short lines answered at once: no reason to hold them back.
    SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
}

std::chrono::milliseconds Left(Clock::time_point deadline) {
    return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds(0));
}

} // namespace

TcpStream::TcpStream(std::string host, uint16_t port, TcpTimes times)
    : host_(std::move(host)), port_(port), times_(times), wakeFd_(MakeWakeDescriptor()) {}

TcpStream::~TcpStream() {
    if (fd_.load() >= 0) {
        ::close(fd_.load());
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

int32_t TcpStream::Kind() const {
    return kLinkKindTcp;
}

std::string TcpStream::Describe() const {
    LinkTarget target;
    target.kind = kLinkKindTcp;
    target.host = host_;
    target.port = port_;
    return ToUtf8(LinkLocationText(target));
}

OpenResult TcpStream::Failure(int error) const {
    return {OpenStatus::Failed, FromUtf8("TCP " + Describe() + ": " + std::strerror(error))};
}

OpenResult TcpStream::Open(std::stop_token stop) {
    if (wakeFd_ < 0) {
        return Failure(errno);
    }
    // A stop request wakes whatever wait the attempt is in.
    const std::stop_callback wake(stop, [this] { SignalWake(wakeFd_); });
    const auto deadline = Clock::now() + times_.connect;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int resolved =
        ::getaddrinfo(host_.c_str(), std::to_string(port_).c_str(), &hints, &found);
    if (resolved != 0) {
        const std::string reason =
            resolved == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(resolved);
        return {OpenStatus::Failed, FromUtf8("TCP " + Describe() + ": " + reason)};
    }
    const std::unique_ptr<addrinfo, AddressListDeleter> addresses(found);
    int error = EHOSTUNREACH;
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        if (stop.stop_requested() || IsShutDown()) {
            return Failure(ECANCELED);
        }
        error = ConnectTo(*address, deadline);
        if (error == 0) {
            return {OpenStatus::Opened, {}};
        }
        if (error == ETIMEDOUT) {
            break;
        }
    }
    return Failure(error);
}

int TcpStream::ConnectTo(const addrinfo& address, Clock::time_point deadline) {
    const int socket = ::socket(
        address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address.ai_protocol);
    if (socket < 0) {
        return errno;
    }
    if (!Publish(socket)) {
        return ECANCELED;
    }
    int error = 0;
    if (::connect(socket, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
    }
    if (error == EINPROGRESS) {
        switch (WaitFor(socket, POLLOUT, wakeFd_, Left(deadline))) {
        case WaitOutcome::Ready: {
            socklen_t length = sizeof error;
            if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                error = errno;
            }
            break;
        }
        case WaitOutcome::TimedOut:
            error = ETIMEDOUT;
            break;
        case WaitOutcome::Woken:
            error = ECANCELED;
            break;
        case WaitOutcome::Failed:
            error = errno;
            break;
        }
    }
    if (error != 0) {
        Unpublish(socket);
        return error;
    }
    // Reads are awaited with poll; sends block, within the send time.
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) & ~O_NONBLOCK);
    const timeval sendTime{static_cast<time_t>(times_.send.count() / 1000),
                           static_cast<suseconds_t>(times_.send.count() % 1000 * 1000)};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &sendTime, sizeof sendTime);
    TuneConnected(socket, times_);
    return 0;
}

bool TcpStream::Publish(int socket) {
    const std::lock_guard lock(mutex_);
    if (shutDown_) {
        ::close(socket);
        return false;
    }
    fd_.store(socket);
    return true;
}

void TcpStream::Unpublish(int socket) {
    const std::lock_guard lock(mutex_);
    fd_.store(-1);
    ::close(socket);
}

bool TcpStream::IsShutDown() {
    const std::lock_guard lock(mutex_);
    return shutDown_;
}

int TcpStream::WaitReadable(std::chrono::milliseconds timeout) {
    return WaitReadableFor(fd_.load(), wakeFd_, timeout);
}

std::ptrdiff_t TcpStream::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::recv(fd_.load(), buffer, size, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && IsShutDown()) {
            return 0;
        }
        return n;
    }
}

// Everything or a failure: a command cut short would reach the receiver
// glued to the next one.
std::ptrdiff_t TcpStream::Write(const char* bytes, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::send(fd_.load(), bytes + written, size - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        written += static_cast<std::size_t>(n);
    }
    return static_cast<std::ptrdiff_t>(written);
}

void TcpStream::Shutdown() {
    const std::lock_guard lock(mutex_);
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    SignalWake(wakeFd_);
    if (fd_.load() >= 0) {
        ::shutdown(fd_.load(), SHUT_RDWR);
    }
}

int TcpStream::LastError() {
    return errno;
}

} // namespace quorlex
