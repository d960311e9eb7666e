#include "sim/ReceiverServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorlex {
namespace {

// The address as a socket address; false when it is no IP address.
bool MakeAddress(std::string_view text, int port, sockaddr_storage& address, socklen_t& length) {
    const std::string host(text);
    address = {};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        length = sizeof *v4;
        return true;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof *v6;
        return true;
    }
    return false;
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    }
    return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

} // namespace

ReceiverServer::~ReceiverServer() {
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(wakeFd_, &one, sizeof one);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    for (const int fd : {listener_, wakeFd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool ReceiverServer::Start(std::string_view address, int requestedPort, std::string& error) {
    sockaddr_storage socketAddress{};
    socklen_t length = 0;
    if (!MakeAddress(address, requestedPort, socketAddress, length)) {
        error = "not an IP address: " + std::string(address);
        return false;
    }
    listener_ = socket(socketAddress.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (listener_ < 0 || wakeFd_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    const int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&socketAddress), length) != 0 ||
        listen(listener_, 1) != 0) {
        error = std::strerror(errno);
        return false;
    }
    port_ = BoundPort(listener_);
    thread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void ReceiverServer::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EAGAIN) {
                continue;
            }
            return;
        }
        simulator_.Attach(client);
        if (accepted_) {
            accepted_();
        }
    }
}

} // namespace quorlex
