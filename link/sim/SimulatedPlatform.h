#pragma once

#include "link/BluetoothPlatform.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quorlex {

// Serves the far end of a simulated connection; takes ownership of the socket.
using FarEndServer = std::function<void(int fd)>;

// A receiver's misbehaviour; may be changed while it is connected.
struct SimulatedReceiverFaults {
    // The connect is refused as by a device that does not accept it.
    bool refuseConnection = false;
    // The connect takes this long (the stop token or a shutdown cut it short).
    std::chrono::milliseconds connectDelay{0};
    // The link drops once the tool has received this many bytes.
    std::optional<std::size_t> dropAfterBytes;
    // Sends fail as on a link that has gone bad.
    bool sendFails = false;
    // The connection is made but nobody serves the far end.
    bool silent = false;
};

struct SimulatedReceiver {
    std::u16string name;
    uint64_t address = 0;
    // The PIN it pairs with; a receiver without one accepts unauthenticated links.
    std::u16string pin;
    // The RFCOMM channel its Serial Port service listens on.
    int channel = 1;
    // false: a service search gets no answer.
    bool answersServiceSearch = true;
    // Sent instead of the record built from channel.
    std::optional<std::vector<uint8_t>> serviceResponse;
    SimulatedReceiverFaults faults;
    FarEndServer serve;
};

// Faults of the local side.
struct SimulatedAdapterFaults {
    bool radioUnreadable = false;
    int inquiryError = 0;
    bool socketCreationFails = false;
    bool authenticationRefused = false;
    bool pinRecordRefused = false;
    // A machine without the Bluetooth service, or with the service but no
    // adapter: every operation of the adapter fails.
    bool noService = false;
    bool noAdapter = false;
    // The adapter is off and cannot be switched on (blocked by a switch).
    bool powerOnRefused = false;
};

// Receivers "in range" of a simulated adapter. Each connection is a socket
// pair: the tool's end is the handle the link uses, the far end goes to the
// receiver's server. Every call is recorded, so tests can check the order.
class SimulatedPlatform : public BluetoothPlatform {
public:
    explicit SimulatedPlatform(uint32_t radioMode = kRadioDiscoverable);
    ~SimulatedPlatform() override;
    SimulatedPlatform(const SimulatedPlatform&) = delete;
    SimulatedPlatform& operator=(const SimulatedPlatform&) = delete;

    void AddReceiver(SimulatedReceiver receiver);
    void RemoveReceiver(uint64_t address);
    bool SetReceiverFaults(uint64_t address, const SimulatedReceiverFaults& faults);
    void SetAdapterFaults(const SimulatedAdapterFaults& faults);

    uint32_t CurrentRadioMode() const;
    // "Name argument" lines, one per call, in call order.
    std::vector<std::string> Calls() const;
    void ClearCalls();
    // Handles created and not yet closed.
    std::size_t OpenSockets() const;

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

private:
    struct SimSocket {
        int farEnd = -1;
        uint64_t address = 0;
        bool authenticate = false;
        std::optional<PinRecord> pin;
        bool shutDown = false;
        bool dropped = false;
        std::size_t received = 0;
    };

    void Record(std::string call);
    bool AdapterMissing() const { return adapterFaults_.noService || adapterFaults_.noAdapter; }
    SimulatedReceiver* FindReceiver(uint64_t address);
    SimSocket* FindSocket(SocketHandle socket);
    bool WaitConnectDelay(std::unique_lock<std::mutex>& lock, SocketHandle socket,
                          std::chrono::milliseconds delay, std::stop_token& stop);
    int ConnectError(const SimulatedReceiver& receiver, const SimSocket& simSocket,
                     const RfcommAddress& target) const;
    std::size_t ReceiveAllowance(SocketHandle socket, std::size_t size, int& error);
    void CountReceived(SocketHandle socket, std::size_t count);
    void DropIfDue(SocketHandle socket, SimSocket& simSocket);

    mutable std::mutex mutex_;
    std::condition_variable_any socketChanged_;
    uint32_t radioMode_;
    SimulatedAdapterFaults adapterFaults_;
    std::vector<SimulatedReceiver> receivers_;
    std::map<SocketHandle, SimSocket> sockets_;
    std::vector<std::string> calls_;
};

} // namespace quorlex
