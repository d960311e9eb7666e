#pragma once

#include "link/BluetoothPlatform.h"
#include "link/LinkOptions.h"
#include "link/LinkSink.h"
#include "link/LinkSocket.h"
#include "link/LinkThreadList.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>

namespace quorlex {

// The RFCOMM connection to the receiver: a connection worker per attempt, a
// reader thread per connection, and sends from the caller's thread.
//
// Threads are never killed. Close() asks a running attempt to stop (its stop
// token interrupts the platform's search and connect, and its socket is shut
// down) and waits for it at most workerStopLimit; an attempt that has been
// asked to stop changes no state and delivers nothing, so one that outlives
// the limit is harmless and is joined later. Close() never waits for the
// reader, which may be blocked in a delivery; shutting its socket down wakes
// it. Every thread is owned by the object and joined by its destructor.
//
// Each attempt has a generation. A thread delivers, and ends the connection,
// only while its generation is the latest, so a reader left over from a
// closed connection can neither report over a newer one nor disconnect it.
// Deliveries from the link's threads are serialised, so deliveryBuffer is
// never rewritten while the sink reads it.
class BluetoothSocket {
public:
    static constexpr std::size_t kReceiveSize = 4096;
    static constexpr std::size_t kMaxPinBytes = 16;

    explicit BluetoothSocket(BluetoothPlatform& platform, LinkOptions options = {});
    // Stops everything and joins the link's threads: a delivery that is
    // under way must be able to finish.
    ~BluetoothSocket();
    BluetoothSocket(const BluetoothSocket&) = delete;
    BluetoothSocket& operator=(const BluetoothSocket&) = delete;

    bool IsConnected() const { return connected.load() != 0; }
    void SetNotifyTarget(LinkSink* sink) { notifyTarget.store(sink); }

    // true if an attempt was started; false while connected, while an
    // attempt runs, or when its thread cannot be started.
    bool Connect(std::u16string_view pinText, uint64_t deviceAddress);
    // -1 not connected, 1 the socket took the bytes, 0 a socket error (the
    // connection is then given up).
    int Send(const char* bytes, std::size_t count);
    void Close();

    // The RFCOMM channel of the last connection attempt.
    int Channel() const { return channel.load(); }

private:
    struct Attempt {
        uint64_t generation = 0;
        uint64_t address = 0;
        std::u16string pin;
        std::stop_token stop;
    };

    void ConnectionWorker(const Attempt& attempt);
    bool PublishSocket(const Attempt& attempt, const std::shared_ptr<LinkSocket>& linkSocket);
    void RefusePin(const Attempt& attempt, const std::shared_ptr<LinkSocket>& linkSocket);
    void FailAttempt(const Attempt& attempt);
    void StartReader(const Attempt& attempt, const std::shared_ptr<LinkSocket>& linkSocket);

    void SocketThreadFunc(LinkSocket& linkSocket);
    void EndConnection(LinkSocket& linkSocket, bool error, bool onLinkThread);
    void CloseLinkSocket(LinkSocket& linkSocket);

    void DeliverFromThread(uint64_t generation, const std::stop_token* stop,
                           std::u16string_view status);
    void DeliverChunk(uint64_t generation, const char* bytes, std::size_t count);
    void DeliverHere(std::u16string_view status);
    void Diagnose(std::u16string_view text) const;

    BluetoothPlatform& platform;
    const LinkOptions options;
    ThreadStarter& starter;

    std::atomic<int32_t> connected{0};
    std::atomic<LinkSink*> notifyTarget{nullptr};
    std::atomic<int32_t> channel{0};
    std::atomic<uint64_t> latestGeneration{0};
    // Set by Connect for the attempt; the worker works on its own copy.
    uint64_t address = 0;
    std::u16string pin;

    std::mutex stateMutex; // guards the three fields below
    std::shared_ptr<LinkThread> connectWorker;
    std::stop_source workerStop;
    std::shared_ptr<LinkSocket> socket;

    std::mutex threadDeliveryMutex; // held by a link thread while it delivers
    std::array<char, 2 * kReceiveSize + 1> deliveryBuffer{};

    LinkThreadList threads;
};

} // namespace quorlex
