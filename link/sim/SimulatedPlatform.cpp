#include "link/sim/SimulatedPlatform.h"

#include "common/Text.h"
#include "link/sim/SdpBuilder.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace quorlex {
namespace {

std::string Hex(uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(12, '0');
    for (int i = 11; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

// The PIN bytes a receiver expects: the low bytes of its characters.
std::string PinBytes(std::u16string_view pin) {
    std::string bytes;
    for (const char16_t c : pin) {
        bytes.push_back(static_cast<char>(c & 0xFF));
    }
    return bytes;
}

std::string PinBytes(const PinRecord& record) {
    const auto length = std::min<std::size_t>(record.length, record.pin.size());
    return std::string(record.pin.begin(),
                       record.pin.begin() + static_cast<std::ptrdiff_t>(length));
}

// Fails the call with error, as the system would.
template <typename T> T Fail(int error, T result) {
    errno = error;
    return result;
}

} // namespace

SimulatedPlatform::SimulatedPlatform(uint32_t radioMode) : radioMode_(radioMode) {}

SimulatedPlatform::~SimulatedPlatform() {
    for (const auto& [handle, simSocket] : sockets_) {
        ::close(handle);
        if (simSocket.farEnd >= 0) {
            ::close(simSocket.farEnd);
        }
    }
}

void SimulatedPlatform::AddReceiver(SimulatedReceiver receiver) {
    const std::lock_guard lock(mutex_);
    receivers_.push_back(std::move(receiver));
}

void SimulatedPlatform::RemoveReceiver(uint64_t address) {
    const std::lock_guard lock(mutex_);
    std::erase_if(receivers_, [address](const auto& r) { return r.address == address; });
}

bool SimulatedPlatform::SetReceiverFaults(uint64_t address, const SimulatedReceiverFaults& faults) {
    const std::lock_guard lock(mutex_);
    SimulatedReceiver* receiver = FindReceiver(address);
    if (receiver == nullptr) {
        return false;
    }
    receiver->faults = faults;
    return true;
}

void SimulatedPlatform::SetAdapterFaults(const SimulatedAdapterFaults& faults) {
    const std::lock_guard lock(mutex_);
    adapterFaults_ = faults;
}

uint32_t SimulatedPlatform::CurrentRadioMode() const {
    const std::lock_guard lock(mutex_);
    return radioMode_;
}

std::vector<std::string> SimulatedPlatform::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

void SimulatedPlatform::ClearCalls() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
}

std::size_t SimulatedPlatform::OpenSockets() const {
    const std::lock_guard lock(mutex_);
    return sockets_.size();
}

void SimulatedPlatform::Record(std::string call) {
    calls_.push_back(std::move(call));
}

SimulatedReceiver* SimulatedPlatform::FindReceiver(uint64_t address) {
    const auto found = std::find_if(receivers_.begin(), receivers_.end(),
                                    [address](const auto& r) { return r.address == address; });
    return found == receivers_.end() ? nullptr : &*found;
}

SimulatedPlatform::SimSocket* SimulatedPlatform::FindSocket(SocketHandle socket) {
    const auto found = sockets_.find(socket);
    return found == sockets_.end() ? nullptr : &found->second;
}

AdapterState SimulatedPlatform::QueryAdapter() {
    const std::lock_guard lock(mutex_);
    Record("QueryAdapter");
    if (adapterFaults_.noService) {
        return AdapterState::NoService;
    }
    if (adapterFaults_.noAdapter) {
        return AdapterState::NoAdapter;
    }
    return radioMode_ == kRadioOff ? AdapterState::PoweredOff : AdapterState::Usable;
}

bool SimulatedPlatform::GetRadioMode(uint32_t& mode) {
    const std::lock_guard lock(mutex_);
    Record("GetRadioMode");
    if (adapterFaults_.radioUnreadable || AdapterMissing()) {
        return false;
    }
    mode = radioMode_;
    return true;
}

bool SimulatedPlatform::SetRadioMode(uint32_t mode) {
    const std::lock_guard lock(mutex_);
    Record("SetRadioMode " + std::to_string(mode));
    if (AdapterMissing()) {
        return Fail(ENODEV, false);
    }
    if (adapterFaults_.powerOnRefused && mode != kRadioOff) {
        return Fail(ERFKILL, false);
    }
    radioMode_ = mode;
    return true;
}

int SimulatedPlatform::Inquire(std::vector<InquiryDevice>& devices) {
    const std::lock_guard lock(mutex_);
    Record("Inquire");
    if (adapterFaults_.inquiryError != 0) {
        return adapterFaults_.inquiryError;
    }
    if (AdapterMissing()) {
        return ENODEV;
    }
    if (radioMode_ == kRadioOff) {
        return ENETDOWN;
    }
    devices.clear();
    for (const SimulatedReceiver& receiver : receivers_) {
        devices.push_back({receiver.name, receiver.address});
    }
    return 0;
}

bool SimulatedPlatform::SearchSerialPortService(uint64_t address, std::stop_token stop,
                                                std::vector<uint8_t>& response) {
    const std::lock_guard lock(mutex_);
    Record("SearchSerialPortService " + Hex(address));
    const SimulatedReceiver* receiver = FindReceiver(address);
    if (stop.stop_requested() || receiver == nullptr || !receiver->answersServiceSearch) {
        return false;
    }
    response = receiver->serviceResponse.value_or(
        SerialPortServiceResponse(static_cast<uint8_t>(receiver->channel)));
    return true;
}

bool SimulatedPlatform::RevokePin(uint64_t address) {
    const std::lock_guard lock(mutex_);
    Record("RevokePin " + Hex(address));
    return true;
}

bool SimulatedPlatform::RevokeLinkKey(uint64_t address) {
    const std::lock_guard lock(mutex_);
    Record("RevokeLinkKey " + Hex(address));
    return true;
}

SocketHandle SimulatedPlatform::CreateSocket() {
    const std::lock_guard lock(mutex_);
    Record("CreateSocket");
    if (adapterFaults_.socketCreationFails) {
        return Fail(EAFNOSUPPORT, kInvalidSocket);
    }
    if (AdapterMissing()) {
        return Fail(ENODEV, kInvalidSocket);
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        return kInvalidSocket;
    }
    sockets_[pair[0]].farEnd = pair[1];
    return pair[0];
}

bool SimulatedPlatform::SetSocketOption(SocketHandle socket, RfcommOption option, uint32_t value) {
    const std::lock_guard lock(mutex_);
    Record("SetSocketOption " + std::to_string(static_cast<int>(option)) + " " +
           std::to_string(value));
    SimSocket* simSocket = FindSocket(socket);
    if (simSocket == nullptr) {
        return Fail(EBADF, false);
    }
    if (option != RfcommOption::AuthenticationRequired) {
        return true;
    }
    if (adapterFaults_.authenticationRefused) {
        return Fail(ENOPROTOOPT, false);
    }
    simSocket->authenticate = value != 0;
    return true;
}

bool SimulatedPlatform::SetPinRecord(SocketHandle socket, const PinRecord& record) {
    const std::lock_guard lock(mutex_);
    Record("SetPinRecord " + PinBytes(record));
    SimSocket* simSocket = FindSocket(socket);
    if (simSocket == nullptr) {
        return Fail(EBADF, false);
    }
    if (adapterFaults_.pinRecordRefused) {
        return Fail(EINVAL, false);
    }
    simSocket->pin = record;
    return true;
}

bool SimulatedPlatform::Connect(SocketHandle socket, const RfcommAddress& target,
                                std::stop_token stop) {
    std::unique_lock lock(mutex_);
    Record("Connect " + Hex(target.address) + " " +
           (target.serviceClass.IsNil() ? "port " + std::to_string(target.port)
                                        : "serial-port-class"));
    const SimulatedReceiver* receiver = FindReceiver(target.address);
    const auto delay = receiver ? receiver->faults.connectDelay : std::chrono::milliseconds(0);
    if (delay.count() > 0 && !WaitConnectDelay(lock, socket, delay, stop)) {
        return Fail(EINTR, false);
    }
    SimSocket* simSocket = FindSocket(socket);
    receiver = FindReceiver(target.address);
    if (simSocket == nullptr) {
        return Fail(EBADF, false);
    }
    if (receiver == nullptr) {
        return Fail(EHOSTDOWN, false);
    }
    if (const int error = ConnectError(*receiver, *simSocket, target); error != 0) {
        return Fail(error, false);
    }
    simSocket->address = target.address;
    DropIfDue(socket, *simSocket);
    if (receiver->faults.silent || !receiver->serve) {
        return true;
    }
    const int farEnd = std::exchange(simSocket->farEnd, -1);
    const FarEndServer serve = receiver->serve;
    lock.unlock();
    serve(farEnd);
    return true;
}

bool SimulatedPlatform::WaitConnectDelay(std::unique_lock<std::mutex>& lock, SocketHandle socket,
                                         std::chrono::milliseconds delay, std::stop_token& stop) {
    const auto interrupted = [this, socket] {
        const SimSocket* simSocket = FindSocket(socket);
        return simSocket == nullptr || simSocket->shutDown;
    };
    const bool cut = socketChanged_.wait_for(lock, stop, delay, interrupted);
    return !cut && !stop.stop_requested();
}

int SimulatedPlatform::ConnectError(const SimulatedReceiver& receiver, const SimSocket& simSocket,
                                    const RfcommAddress& target) const {
    if (simSocket.shutDown) {
        return ESHUTDOWN;
    }
    const bool serviceFound =
        !target.serviceClass.IsNil() || target.port == static_cast<uint32_t>(receiver.channel);
    if (receiver.faults.refuseConnection || !serviceFound) {
        return ECONNREFUSED;
    }
    const bool paired = simSocket.authenticate && simSocket.pin &&
                        PinBytes(*simSocket.pin) == PinBytes(receiver.pin);
    if (!paired && !(receiver.pin.empty() && !simSocket.authenticate)) {
        return EACCES;
    }
    return 0;
}

int SimulatedPlatform::WaitReadable(SocketHandle socket, std::chrono::milliseconds timeout) {
    pollfd entry{socket, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready > 0 && (entry.revents & POLLNVAL) != 0) {
            return Fail(EBADF, -1);
        }
        return ready < 0 ? -1 : (ready > 0 ? 1 : 0);
    }
}

std::size_t SimulatedPlatform::ReceiveAllowance(SocketHandle socket, std::size_t size, int& error) {
    const std::lock_guard lock(mutex_);
    const SimSocket* simSocket = FindSocket(socket);
    if (simSocket == nullptr) {
        error = EBADF;
        return 0;
    }
    if (simSocket->dropped) {
        error = ECONNRESET;
        return 0;
    }
    const SimulatedReceiver* receiver = FindReceiver(simSocket->address);
    if (receiver == nullptr || !receiver->faults.dropAfterBytes) {
        return size;
    }
    return std::min(size, *receiver->faults.dropAfterBytes - simSocket->received);
}

void SimulatedPlatform::CountReceived(SocketHandle socket, std::size_t count) {
    const std::lock_guard lock(mutex_);
    if (SimSocket* simSocket = FindSocket(socket)) {
        simSocket->received += count;
        DropIfDue(socket, *simSocket);
    }
}

// The tool's end is shut down, so its reader wakes at once and the receiver
// sees the link go.
void SimulatedPlatform::DropIfDue(SocketHandle socket, SimSocket& simSocket) {
    const SimulatedReceiver* receiver = FindReceiver(simSocket.address);
    if (simSocket.dropped || receiver == nullptr || !receiver->faults.dropAfterBytes ||
        simSocket.received < *receiver->faults.dropAfterBytes) {
        return;
    }
    simSocket.dropped = true;
    ::shutdown(socket, SHUT_RDWR);
}

std::ptrdiff_t SimulatedPlatform::Receive(SocketHandle socket, char* buffer, std::size_t size) {
    int error = 0;
    const std::size_t allowed = ReceiveAllowance(socket, size, error);
    if (error != 0) {
        return Fail(error, std::ptrdiff_t{-1});
    }
    const ssize_t received = ::recv(socket, buffer, allowed, 0);
    if (received < 0) {
        return -1;
    }
    const int savedErrno = errno;
    CountReceived(socket, static_cast<std::size_t>(received));
    errno = savedErrno;
    return received;
}

std::ptrdiff_t SimulatedPlatform::Send(SocketHandle socket, const char* bytes, std::size_t size) {
    {
        const std::lock_guard lock(mutex_);
        Record("Send " + std::to_string(size));
        const SimSocket* simSocket = FindSocket(socket);
        if (simSocket == nullptr) {
            return Fail(EBADF, std::ptrdiff_t{-1});
        }
        const SimulatedReceiver* receiver = FindReceiver(simSocket->address);
        if (simSocket->dropped || (receiver && receiver->faults.sendFails)) {
            return Fail(ECONNRESET, std::ptrdiff_t{-1});
        }
    }
    return ::send(socket, bytes, size, MSG_NOSIGNAL);
}

bool SimulatedPlatform::Shutdown(SocketHandle socket) {
    const std::lock_guard lock(mutex_);
    Record("Shutdown");
    SimSocket* simSocket = FindSocket(socket);
    if (simSocket == nullptr) {
        return Fail(EBADF, false);
    }
    simSocket->shutDown = true;
    socketChanged_.notify_all();
    return ::shutdown(socket, SHUT_RDWR) == 0;
}

bool SimulatedPlatform::CloseSocket(SocketHandle socket) {
    const std::lock_guard lock(mutex_);
    Record("CloseSocket");
    const auto found = sockets_.find(socket);
    if (found == sockets_.end()) {
        return Fail(EBADF, false);
    }
    if (found->second.farEnd >= 0) {
        ::close(found->second.farEnd);
    }
    sockets_.erase(found);
    socketChanged_.notify_all();
    return ::close(socket) == 0;
}

int SimulatedPlatform::LastError() {
    return errno;
}

} // namespace quorlex
