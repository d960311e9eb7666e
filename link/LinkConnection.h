#pragma once

#include "link/ByteStream.h"
#include "link/LinkOptions.h"
#include "link/LinkSink.h"
#include "link/LinkSocket.h"
#include "link/LinkThreadList.h"
#include "link/WireTap.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string_view>

namespace quorlex {

// The connection to the receiver over any byte stream: a connection worker
// per attempt, a reader thread per connection, and sends from the caller's
// thread. Received chunks and the status texts reach the sink the same way
// whatever carries the bytes.
//
// Threads are never killed. Close() asks a running attempt to stop (its stop
// token interrupts the stream's open, and the stream is shut down) and waits
// for it at most workerStopLimit; an attempt that has been asked to stop
// changes no state and delivers nothing, so one that outlives the limit is
// harmless and is joined later. Close() never waits for the reader, which may
// be blocked in a delivery; shutting its stream down wakes it. Every thread
// is owned by the object and joined by its destructor.
//
// Each attempt has a generation. A thread delivers, and ends the connection,
// only while its generation is the latest, so a reader left over from a
// closed connection can neither report over a newer one nor disconnect it.
// Deliveries from the link's threads are serialised, so deliveryBuffer is
// never rewritten while the sink reads it.
class LinkConnection {
public:
    static constexpr std::size_t kReceiveSize = 4096;

    // tap, when given, sees every byte and status; it must outlive the connection.
    explicit LinkConnection(LinkOptions options = {}, WireTap* tap = nullptr);
    // Stops everything and joins the link's threads: a delivery that is
    // under way must be able to finish.
    ~LinkConnection();
    LinkConnection(const LinkConnection&) = delete;
    LinkConnection& operator=(const LinkConnection&) = delete;

    bool IsConnected() const { return connected_.load() != 0; }
    void SetNotifyTarget(LinkSink* sink) { notifyTarget_.store(sink); }

    // Starts an attempt to open the stream: true if it was started; false
    // while connected, while an attempt runs, or when its thread cannot be started.
    bool Connect(std::unique_ptr<ByteStream> stream);
    // -1 not connected, 1 the stream took the bytes, 0 a stream error (the
    // connection is then given up).
    int Send(const char* bytes, std::size_t count);
    void Close();

private:
    struct Attempt {
        uint64_t generation = 0;
        int32_t kind = 0;
        std::stop_token stop;
    };

    void ConnectionWorker(const Attempt& attempt, const std::shared_ptr<LinkSocket>& linkSocket);
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
    void LogEvent(std::u16string_view text);
    void Diagnose(std::u16string_view text) const;

    const LinkOptions options_;
    ThreadStarter& starter_;
    WireTap* const tap_;

    std::atomic<int32_t> connected_{0};
    std::atomic<LinkSink*> notifyTarget_{nullptr};
    std::atomic<uint64_t> latestGeneration_{0};
    std::atomic<int32_t> latestKind_{0};

    std::mutex stateMutex_; // guards the three fields below
    std::shared_ptr<LinkThread> connectWorker_;
    std::stop_source workerStop_;
    std::shared_ptr<LinkSocket> socket_;

    std::mutex threadDeliveryMutex_; // held by a link thread while it delivers
    std::array<char, 2 * kReceiveSize + 1> deliveryBuffer_{};

    LinkThreadList threads_;
};

} // namespace quorlex
