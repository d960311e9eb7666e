#pragma once

#include "link/BluetoothPlatform.h"
#include "link/bluez/BluezAgent.h"
#include "link/bluez/SocketTable.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>

namespace quorlex {

class BluezAdapter;

struct BluezOptions {
    // Every D-Bus call, and a send waiting for room.
    std::chrono::milliseconds callTimeout{5000};
    // How long an inquiry listens: the classic inquiry length of 10.24 s.
    std::chrono::milliseconds discoveryWindow{10240};
    // Paging and pairing together; the link's stop request ends it sooner.
    std::chrono::milliseconds connectTimeout{30000};
    // Each step of a service search (connect, every answer).
    std::chrono::milliseconds sdpTimeout{10000};
    // Makes a new non-blocking RFCOMM stream socket: a descriptor, or -1 with
    // errno set. Tests hand in other stream sockets.
    std::function<int()> openSocket;
};

// The link's platform on a Linux machine: kernel RFCOMM and L2CAP sockets,
// the Bluetooth daemon over the system bus for the adapter, discovery,
// pairing and forgetting devices. Where the machine has no Bluetooth, every
// operation fails at once with an errno value.
class BluezPlatform final : public BluetoothPlatform {
public:
    explicit BluezPlatform(BluezOptions options = {})
        : options_(options), agent_(options.callTimeout) {}
    ~BluezPlatform() override = default;
    BluezPlatform(const BluezPlatform&) = delete;
    BluezPlatform& operator=(const BluezPlatform&) = delete;

    AdapterState QueryAdapter() override;
    bool GetRadioMode(uint32_t& mode) override;
    bool SetRadioMode(uint32_t mode) override;
    int Inquire(std::vector<InquiryDevice>& devices) override;
    bool SearchSerialPortService(uint64_t address, std::stop_token stop,
                                 std::vector<uint8_t>& response) override;
    bool RevokePin(uint64_t address) override;
    bool RevokeLinkKey(uint64_t address) override;

    SocketHandle CreateSocket() override;
    bool SetSocketOption(SocketHandle socket, RfcommOption option, uint32_t value) override;
    bool SetPinRecord(SocketHandle socket, const PinRecord& record) override;
    bool Connect(SocketHandle socket, const RfcommAddress& target, std::stop_token stop) override;
    int WaitReadable(SocketHandle socket, std::chrono::milliseconds timeout) override;
    std::ptrdiff_t Receive(SocketHandle socket, char* buffer, std::size_t size) override;
    std::ptrdiff_t Send(SocketHandle socket, const char* bytes, std::size_t size) override;
    bool Shutdown(SocketHandle socket) override;
    bool CloseSocket(SocketHandle socket) override;
    int LastError() override;

    // The pairing agent: it serves from the first PIN record until no socket
    // holds one, so that another program's agent is the default again.
    const BluezAgent& Agent() const { return agent_; }

private:
    // Opens a bus of our own, finds the adapter and runs op on it: 0 or errno.
    int WithAdapter(const std::function<int(BluezAdapter&)>& op) const;
    bool WaitConnected(SocketHandle socket, const std::stop_token& stop);
    void ExpectPairing(SocketHandle socket);
    void ReleasePin(SocketHandle socket);

    const BluezOptions options_;
    SocketTable sockets_;
    std::mutex pairingMutex_; // pins_, and starting and stopping the agent
    BluezAgent agent_;
    std::map<SocketHandle, PinRecord> pins_;
};

} // namespace quorlex
