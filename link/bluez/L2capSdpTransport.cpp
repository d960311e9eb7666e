#include "link/bluez/L2capSdpTransport.h"

#include "link/bluez/BluezAddress.h"
#include "link/bluez/SocketWait.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/l2cap.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorlex {

namespace {

constexpr uint16_t kSdpPsm = 1;
// Larger than any L2CAP packet, so a packet is never cut.
constexpr size_t kMaxPacket = 65536;

} // namespace

L2capSdpTransport::~L2capSdpTransport() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int L2capSdpTransport::Wait(short events) {
    int error = 0;
    switch (WaitForSocket(fd_, events, -1, stop_, timeout_, error)) {
    case WaitResult::Ready:
        return 0;
    case WaitResult::TimedOut:
        return ETIMEDOUT;
    case WaitResult::Stopped:
    case WaitResult::Woken:
        return ECANCELED;
    case WaitResult::Failed:
        break;
    }
    return error;
}

int L2capSdpTransport::Connect(uint64_t address) {
    fd_ = socket(AF_BLUETOOTH, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, BTPROTO_L2CAP);
    if (fd_ < 0) {
        return errno;
    }
    sockaddr_l2 target{};
    target.l2_family = AF_BLUETOOTH;
    target.l2_psm = htobs(kSdpPsm);
    const auto bytes = BluezAddressBytes(address);
    std::memcpy(&target.l2_bdaddr, bytes.data(), bytes.size());
    target.l2_bdaddr_type = BDADDR_BREDR;
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        return 0;
    }
    if (errno != EINPROGRESS) {
        return errno;
    }
    if (const int error = Wait(POLLOUT); error != 0) {
        return error;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        return errno;
    }
    return error;
}

int L2capSdpTransport::Send(const std::vector<uint8_t>& pdu) {
    if (fd_ < 0) {
        return ENOTCONN;
    }
    if (const int error = Wait(POLLOUT); error != 0) {
        return error;
    }
    if (send(fd_, pdu.data(), pdu.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) {
        return errno;
    }
    return 0;
}

int L2capSdpTransport::Receive(std::vector<uint8_t>& pdu) {
    if (fd_ < 0) {
        return ENOTCONN;
    }
    if (const int error = Wait(POLLIN); error != 0) {
        return error;
    }
    pdu.resize(kMaxPacket);
    const ssize_t n = recv(fd_, pdu.data(), pdu.size(), MSG_DONTWAIT);
    if (n < 0) {
        return errno;
    }
    if (n == 0) {
        return ECONNRESET;
    }
    pdu.resize(static_cast<size_t>(n));
    return 0;
}

} // namespace quorlex
