#include "link/BluetoothSocket.h"

#include "common/Format.h"
#include "common/Text.h"
#include "link/LinkTarget.h"
#include "link/SerialChannel.h"

#include <optional>

namespace quorlex {
namespace {

constexpr int kMaxServiceChannel = 31;

// The PIN bytes are the low bytes of its characters up to the first zero byte;
// a PIN that does not fit the record is refused rather than cut.
std::optional<PinRecord> MakePinRecord(std::u16string_view pin, uint64_t address) {
    PinRecord record;
    record.address = address;
    for (const char16_t c : pin) {
        const auto byte = static_cast<uint8_t>(c & 0xFF);
        if (byte == 0) {
            break;
        }
        if (record.length == record.pin.size()) {
            return std::nullopt;
        }
        record.pin[record.length++] = byte;
    }
    return record;
}

RfcommAddress TargetFor(uint64_t address, int serviceChannel) {
    RfcommAddress target;
    target.address = address;
    if (serviceChannel >= 1 && serviceChannel <= kMaxServiceChannel) {
        target.port = static_cast<uint32_t>(serviceChannel);
    } else {
        target.serviceClass = SerialPortServiceClass();
        target.port = 1;
    }
    return target;
}

OpenResult Stopped() {
    return {OpenStatus::Failed, {}};
}

} // namespace

BluetoothSocket::BluetoothSocket(BluetoothPlatform& platform, uint64_t address,
                                 std::u16string_view pin)
    : platform_(platform), address_(address), pin_(pin) {}

BluetoothSocket::~BluetoothSocket() {
    if (Handle() != kInvalidSocket) {
        platform_.CloseSocket(Handle());
    }
}

int32_t BluetoothSocket::Kind() const {
    return kLinkKindBluetooth;
}

std::string BluetoothSocket::Describe() const {
    return ToUtf8(FormatText(u"%04x%08x", {int64_t{static_cast<uint16_t>(address_ >> 32)},
                                           int64_t{static_cast<uint32_t>(address_)}}));
}

OpenResult BluetoothSocket::Open(std::stop_token stop) {
    {
        const std::lock_guard lock(handleMutex_);
        if (shutDown_) {
            return Stopped();
        }
        handle_.store(platform_.CreateSocket());
    }
    const SocketHandle socket = Handle();
    if (socket == kInvalidSocket) {
        return {OpenStatus::Failed, {}};
    }
    platform_.RevokePin(address_);
    platform_.RevokeLinkKey(address_);
    const std::optional<PinRecord> record = MakePinRecord(pin_, address_);
    if (!record) {
        return {OpenStatus::PinRefused, {}};
    }
    if (stop.stop_requested()) {
        return Stopped();
    }
    platform_.SetSocketOption(socket, RfcommOption::Option0x22, 1);
    if (platform_.SetSocketOption(socket, RfcommOption::AuthenticationRequired, 1) &&
        !platform_.SetPinRecord(socket, *record)) {
        return {OpenStatus::PinRefused, {}};
    }
    if (stop.stop_requested()) {
        return Stopped();
    }
    const RfcommAddress target = TargetFor(address_, FindSerialChannel(platform_, address_, stop));
    channel_.store(static_cast<int32_t>(target.port));
    if (stop.stop_requested()) {
        return Stopped();
    }
    if (!platform_.Connect(socket, target, stop)) {
        const int error = platform_.LastError();
        return {OpenStatus::Failed, FormatText(u"LoadDeviceDriver Error : %d", {int64_t{error}})};
    }
    return {OpenStatus::Opened, {}};
}

int BluetoothSocket::WaitReadable(std::chrono::milliseconds timeout) {
    return platform_.WaitReadable(Handle(), timeout);
}

std::ptrdiff_t BluetoothSocket::Read(char* buffer, std::size_t size) {
    return platform_.Receive(Handle(), buffer, size);
}

// All bytes in one call: a partial send is not followed up.
std::ptrdiff_t BluetoothSocket::Write(const char* bytes, std::size_t size) {
    return platform_.Send(Handle(), bytes, size);
}

void BluetoothSocket::Shutdown() {
    const std::lock_guard lock(handleMutex_);
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    if (Handle() == kInvalidSocket) {
        return;
    }
    platform_.RevokeLinkKey(address_);
    platform_.Shutdown(Handle());
}

} // namespace quorlex
