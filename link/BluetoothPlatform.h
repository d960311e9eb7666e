#pragma once

#include "link/Uuid.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace quorlex {

// Radio modes of the local adapter.
inline constexpr uint32_t kRadioOff = 0;
inline constexpr uint32_t kRadioConnectable = 1;
inline constexpr uint32_t kRadioDiscoverable = 2;

// Whether there is a Bluetooth adapter the link can use.
enum class AdapterState {
    Usable,
    NoService,     // the Bluetooth service of the system does not answer
    NoAdapter,     // the service runs, but without an adapter
    PoweredOff,    // the adapter is there but switched off
    CannotPowerOn, // it is off and refuses to be switched on
};

struct InquiryDevice {
    std::u16string name;  // empty when the device reported none
    uint64_t address = 0; // 48 bits used
};

using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;

// Integer options at the RFCOMM level.
enum class RfcommOption : int {
    Option0x22 = 0x22,
    AuthenticationRequired = 1,
};

// The PIN to pair with: length bytes of pin are used.
struct PinRecord {
    uint64_t address = 0;
    uint32_t length = 0;
    std::array<uint8_t, 16> pin{};
};

// Where to connect: with a nil serviceClass the given port (RFCOMM channel);
// otherwise the platform may resolve the service class itself and uses port
// when it cannot.
struct RfcommAddress {
    uint64_t address = 0;
    Uuid128 serviceClass;
    uint32_t port = 0;
};

// The Bluetooth stack as the link uses it. Calls come from the user-interface
// thread, the connection worker and the reader thread at the same time, also
// on the same socket (Shutdown, WaitReadable, Receive and Send), so every
// operation must be safe to call concurrently. Calls without a stop token
// return within a few seconds at most.
class BluetoothPlatform {
public:
    virtual ~BluetoothPlatform() = default;

    // What the machine offers right now; never CannotPowerOn, which only an
    // attempt to switch the adapter on can tell.
    virtual AdapterState QueryAdapter() = 0;

    // false when the mode cannot be read; mode is then untouched.
    virtual bool GetRadioMode(uint32_t& mode) = 0;
    // false when the mode cannot be set.
    virtual bool SetRadioMode(uint32_t mode) = 0;

    // Blocks until the inquiry ends: 0 with the devices in the order found, or
    // a nonzero error code with devices untouched.
    virtual int Inquire(std::vector<InquiryDevice>& devices) = 0;

    // Service search for the Serial Port class (16-bit UUID 0x1101) asking for
    // attribute 0x0004 only: true with response = the raw AttributeLists data
    // element (a sequence holding one attribute list per matching record);
    // false when the look-up fails, no answer comes, or stop is requested.
    virtual bool SearchSerialPortService(uint64_t address, std::stop_token stop,
                                         std::vector<uint8_t>& response) = 0;

    // Forget the PIN / the link key kept for the address; false when there
    // was none or removal failed.
    virtual bool RevokePin(uint64_t address) = 0;
    virtual bool RevokeLinkKey(uint64_t address) = 0;

    // A new RFCOMM stream socket, or kInvalidSocket (see LastError).
    virtual SocketHandle CreateSocket() = 0;
    // false when the option is refused.
    virtual bool SetSocketOption(SocketHandle socket, RfcommOption option, uint32_t value) = 0;
    // Registers the PIN answered when the connect of this socket pairs with
    // record.address; false when refused.
    virtual bool SetPinRecord(SocketHandle socket, const PinRecord& record) = 0;
    // true once connected; false on failure (see LastError), also when stop is
    // requested or the socket is shut down from another thread meanwhile.
    virtual bool Connect(SocketHandle socket, const RfcommAddress& target,
                         std::stop_token stop) = 0;
    // 1 readable (data, end of stream or a pending error), 0 time-out, -1 failure.
    virtual int WaitReadable(SocketHandle socket, std::chrono::milliseconds timeout) = 0;
    // > 0 bytes received, 0 the peer closed, -1 failure (see LastError).
    virtual std::ptrdiff_t Receive(SocketHandle socket, char* buffer, std::size_t size) = 0;
    // Bytes accepted (possibly fewer than size), -1 failure (see LastError);
    // never raises a signal when the peer has gone.
    virtual std::ptrdiff_t Send(SocketHandle socket, const char* bytes, std::size_t size) = 0;
    // Both directions; wakes WaitReadable, Receive and Connect blocked on the
    // socket in other threads. false on failure.
    virtual bool Shutdown(SocketHandle socket) = 0;
    // Releases the handle; false on failure.
    virtual bool CloseSocket(SocketHandle socket) = 0;
    // errno value of the calling thread's last failed call above (EAGAIN or
    // EWOULDBLOCK when a receive would block).
    virtual int LastError() = 0;
};

} // namespace quorlex
