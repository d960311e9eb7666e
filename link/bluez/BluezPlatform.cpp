#include "link/bluez/BluezPlatform.h"

#include "link/bluez/BluezAdapter.h"
#include "link/bluez/BluezAddress.h"
#include "link/bluez/BluezBus.h"
#include "link/bluez/L2capSdpTransport.h"
#include "link/bluez/SdpClient.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorlex {

namespace {

constexpr uint16_t kSerialPortClass = 0x1101;
constexpr uint16_t kProtocolDescriptorList = 0x0004;
constexpr uint32_t kMaxChannel = 255;

// Like errno: the failure of this thread's last call.
thread_local int t_lastError = 0;

bool Fail(int error) {
    t_lastError = error;
    return false;
}

// The daemon takes the PIN as text; a byte outside ASCII has no faithful spelling there.
bool PinText(const PinRecord& record, std::string& pin) {
    if (record.length > record.pin.size()) {
        return false;
    }
    pin.assign(record.pin.begin(), record.pin.begin() + record.length);
    for (const char c : pin) {
        if (c == '\0' || static_cast<unsigned char>(c) > 0x7F) {
            return false;
        }
    }
    return true;
}

} // namespace

int BluezPlatform::WithAdapter(const std::function<int(BluezAdapter&)>& op) const {
    BluezBus bus;
    if (const int error = bus.Open(options_.callTimeout); error != 0) {
        return error;
    }
    BluezAdapter adapter(bus);
    if (const int error = adapter.Find(); error != 0) {
        return error;
    }
    return op(adapter);
}

// No system bus, or nobody answering for the daemon on it, is no service.
AdapterState BluezPlatform::QueryAdapter() {
    BluezBus bus;
    if (bus.Open(options_.callTimeout) != 0) {
        return AdapterState::NoService;
    }
    BluezAdapter adapter(bus);
    if (const int error = adapter.Find(); error != 0) {
        return error == ENODEV ? AdapterState::NoAdapter : AdapterState::NoService;
    }
    bool powered = false;
    if (adapter.GetPowered(powered) != 0) {
        return AdapterState::NoAdapter; // gone since it was found
    }
    return powered ? AdapterState::Usable : AdapterState::PoweredOff;
}

bool BluezPlatform::GetRadioMode(uint32_t& mode) {
    uint32_t read = kRadioOff;
    const int error = WithAdapter([&read](BluezAdapter& adapter) {
        bool powered = false;
        bool discoverable = false;
        if (const int e = adapter.GetPowered(powered); e != 0 || !powered) {
            return e;
        }
        const int e = adapter.GetDiscoverable(discoverable);
        read = discoverable ? kRadioDiscoverable : kRadioConnectable;
        return e;
    });
    if (error != 0) {
        return Fail(error);
    }
    mode = read;
    return true;
}

bool BluezPlatform::SetRadioMode(uint32_t mode) {
    if (mode > kRadioDiscoverable) {
        return Fail(EINVAL);
    }
    const int error = WithAdapter([mode](BluezAdapter& adapter) {
        if (mode == kRadioOff) {
            // Leave it as it was found: not discoverable once powered again.
            adapter.SetDiscoverable(false);
            return adapter.SetPowered(false);
        }
        if (const int e = adapter.SetPowered(true); e != 0) {
            return e;
        }
        return adapter.SetDiscoverable(mode == kRadioDiscoverable);
    });
    return error == 0 || Fail(error);
}

int BluezPlatform::Inquire(std::vector<InquiryDevice>& devices) {
    std::vector<BluezDevice> found;
    const int error = WithAdapter([this, &found](BluezAdapter& adapter) {
        return adapter.Discover(options_.discoveryWindow, found);
    });
    if (error != 0) {
        t_lastError = error;
        return error;
    }
    devices.clear();
    for (BluezDevice& device : found) {
        devices.push_back({std::move(device.name), device.address});
    }
    return 0;
}

bool BluezPlatform::SearchSerialPortService(uint64_t address, std::stop_token stop,
                                            std::vector<uint8_t>& response) {
    L2capSdpTransport transport(std::move(stop), options_.sdpTimeout);
    if (const int error = transport.Connect(address); error != 0) {
        return Fail(error);
    }
    SdpClient client(transport);
    const int error = client.SearchAttribute(kSerialPortClass, kProtocolDescriptorList, response);
    return error == 0 || Fail(error);
}

bool BluezPlatform::RevokePin(uint64_t address) {
    return agent_.Forget(address) || Fail(ENOENT);
}

bool BluezPlatform::RevokeLinkKey(uint64_t address) {
    const int error =
        WithAdapter([address](BluezAdapter& adapter) { return adapter.RemoveDevice(address); });
    return error == 0 || Fail(error);
}

SocketHandle BluezPlatform::CreateSocket() {
    const int fd =
        options_.openSocket
            ? options_.openSocket()
            : socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, BTPROTO_RFCOMM);
    if (fd < 0) {
        Fail(errno);
        return kInvalidSocket;
    }
    int error = 0;
    const int handle = sockets_.Add(fd, error);
    if (handle < 0) {
        Fail(error);
        return kInvalidSocket;
    }
    return handle;
}

bool BluezPlatform::SetSocketOption(SocketHandle socket, RfcommOption option, uint32_t value) {
    const SocketTable::EntryPtr entry = sockets_.Find(socket);
    if (!entry) {
        return Fail(EBADF);
    }
    if (option != RfcommOption::AuthenticationRequired) {
        return Fail(ENOPROTOOPT); // no such option on this stack
    }
    const int linkMode = value != 0 ? RFCOMM_LM_AUTH : 0;
    if (setsockopt(entry->fd, SOL_RFCOMM, RFCOMM_LM, &linkMode, sizeof linkMode) != 0) {
        return Fail(errno);
    }
    return true;
}

bool BluezPlatform::SetPinRecord(SocketHandle socket, const PinRecord& record) {
    std::string pin;
    if (!sockets_.Find(socket)) {
        return Fail(EBADF);
    }
    if (!PinText(record, pin)) {
        return Fail(EINVAL);
    }
    std::lock_guard lock(pairingMutex_);
    if (const int error = agent_.Start(); error != 0) {
        return Fail(error);
    }
    pins_[socket] = record;
    return true;
}

void BluezPlatform::ExpectPairing(SocketHandle socket) {
    std::lock_guard lock(pairingMutex_);
    if (const auto it = pins_.find(socket); it != pins_.end()) {
        std::string pin;
        PinText(it->second, pin);
        agent_.Expect(it->second.address, pin);
    }
}

void BluezPlatform::ReleasePin(SocketHandle socket) {
    std::lock_guard lock(pairingMutex_);
    if (pins_.erase(socket) != 0 && pins_.empty()) {
        agent_.Stop();
    }
}

bool BluezPlatform::Connect(SocketHandle socket, const RfcommAddress& target,
                            std::stop_token stop) {
    const SocketTable::EntryPtr entry = sockets_.Find(socket);
    if (!entry) {
        return Fail(EBADF);
    }
    // The kernel has no service class look-up of its own; the link already
    // searched, so the port it gives is the one to use.
    if (target.port > kMaxChannel) {
        return Fail(EINVAL);
    }
    ExpectPairing(socket);
    sockaddr_rc address{};
    address.rc_family = AF_BLUETOOTH;
    const auto bytes = BluezAddressBytes(target.address);
    std::memcpy(&address.rc_bdaddr, bytes.data(), bytes.size());
    address.rc_channel = static_cast<uint8_t>(target.port);
    bool connected = false;
    if (::connect(entry->fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        connected = true;
    } else if (errno == EINPROGRESS) {
        connected = WaitConnected(socket, stop);
    } else {
        Fail(errno);
    }
    // Pairing is over one way or the other.
    ReleasePin(socket);
    return connected;
}

bool BluezPlatform::WaitConnected(SocketHandle socket, const std::stop_token& stop) {
    int error = 0;
    switch (sockets_.Wait(socket, POLLOUT, options_.connectTimeout, stop, error)) {
    case WaitResult::Ready:
        break;
    case WaitResult::TimedOut:
        return Fail(ETIMEDOUT);
    case WaitResult::Stopped:
        return Fail(ECANCELED);
    case WaitResult::Woken:
        return Fail(ECONNABORTED);
    case WaitResult::Failed:
        return Fail(error);
    }
    const SocketTable::EntryPtr entry = sockets_.Find(socket);
    if (!entry) {
        return Fail(ECONNABORTED);
    }
    socklen_t length = sizeof error;
    if (getsockopt(entry->fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        return Fail(errno);
    }
    return error == 0 || Fail(error);
}

int BluezPlatform::WaitReadable(SocketHandle socket, std::chrono::milliseconds timeout) {
    int error = 0;
    switch (sockets_.Wait(socket, POLLIN, timeout, {}, error)) {
    case WaitResult::Ready:
    case WaitResult::Woken: // the receive that follows reports the end
        return 1;
    case WaitResult::TimedOut:
        return 0;
    case WaitResult::Stopped:
    case WaitResult::Failed:
        break;
    }
    Fail(error);
    return -1;
}

std::ptrdiff_t BluezPlatform::Receive(SocketHandle socket, char* buffer, std::size_t size) {
    const SocketTable::EntryPtr entry = sockets_.Find(socket);
    if (!entry) {
        Fail(EBADF);
        return -1;
    }
    const ssize_t n = recv(entry->fd, buffer, size, MSG_DONTWAIT);
    if (n < 0) {
        Fail(errno);
    }
    return n;
}

std::ptrdiff_t BluezPlatform::Send(SocketHandle socket, const char* bytes, std::size_t size) {
    int error = 0;
    const WaitResult room = sockets_.Wait(socket, POLLOUT, options_.callTimeout, {}, error);
    if (room == WaitResult::Failed || room == WaitResult::TimedOut) {
        Fail(room == WaitResult::TimedOut ? ETIMEDOUT : error);
        return -1;
    }
    const SocketTable::EntryPtr entry = sockets_.Find(socket);
    if (!entry) {
        Fail(EBADF);
        return -1;
    }
    // After a shutdown this fails with the socket's own error.
    const ssize_t n = send(entry->fd, bytes, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0) {
        Fail(errno);
    }
    return n;
}

bool BluezPlatform::Shutdown(SocketHandle socket) {
    return sockets_.Shutdown(socket) || Fail(errno);
}

bool BluezPlatform::CloseSocket(SocketHandle socket) {
    ReleasePin(socket);
    return sockets_.Close(socket) || Fail(errno);
}

int BluezPlatform::LastError() {
    return t_lastError;
}

} // namespace quorlex
