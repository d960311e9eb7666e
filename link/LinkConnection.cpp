#include "link/LinkConnection.h"

#include "common/CodePage.h"
#include "common/Text.h"
#include "link/LinkStatus.h"

#include <algorithm>
#include <cerrno>
#include <iostream>

namespace quorlex {
namespace {

bool IsWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

LinkConnection::LinkConnection(LinkOptions options, WireTap* tap)
    : options_(std::move(options)),
      starter_(this->options_.threadStarter ? *this->options_.threadStarter
                                            : SystemThreadStarter()),
      tap_(tap) {}

LinkConnection::~LinkConnection() {
    SetNotifyTarget(nullptr);
    Close();
    threads_.JoinAll();
}

bool LinkConnection::Connect(std::unique_ptr<ByteStream> stream) {
    if (!stream) {
        return false;
    }
    const std::lock_guard lock(stateMutex_);
    if (connected_.load() != 0 || connectWorker_) {
        return false;
    }
    const uint64_t generation = latestGeneration_.fetch_add(1) + 1;
    if (socket_) {
        socket_->Close();
        socket_.reset();
    }
    workerStop_ = std::stop_source();
    const Attempt attempt{generation, stream->Kind(), workerStop_.get_token()};
    latestKind_.store(attempt.kind);
    auto linkSocket = std::make_shared<LinkSocket>(std::move(stream), generation);
    auto worker = LinkThread::Start(starter_, [this, attempt, linkSocket = std::move(linkSocket)] {
        ConnectionWorker(attempt, linkSocket);
    });
    if (!worker) {
        return false;
    }
    connectWorker_ = threads_.Add(std::move(worker));
    return true;
}

void LinkConnection::ConnectionWorker(const Attempt& attempt,
                                      const std::shared_ptr<LinkSocket>& linkSocket) {
    if (!PublishSocket(attempt, linkSocket)) {
        return;
    }
    if (tap_ != nullptr) {
        tap_->Event(attempt.kind, "open " + linkSocket->Stream().Describe());
    }
    const OpenResult result = linkSocket->Stream().Open(attempt.stop);
    if (result.status == OpenStatus::Opened) {
        StartReader(attempt, linkSocket);
        return;
    }
    if (result.status == OpenStatus::PinRefused) {
        RefusePin(attempt, linkSocket);
        return;
    }
    if (attempt.stop.stop_requested()) {
        return;
    }
    if (!result.diagnostic.empty()) {
        Diagnose(result.diagnostic);
    }
    CloseLinkSocket(*linkSocket);
    FailAttempt(attempt);
}

bool LinkConnection::PublishSocket(const Attempt& attempt,
                                   const std::shared_ptr<LinkSocket>& linkSocket) {
    const std::lock_guard lock(stateMutex_);
    if (attempt.stop.stop_requested()) {
        return false;
    }
    socket_ = linkSocket;
    return true;
}

void LinkConnection::RefusePin(const Attempt& attempt,
                               const std::shared_ptr<LinkSocket>& linkSocket) {
    DeliverFromThread(attempt.generation, &attempt.stop, kLinkPinRefused);
    CloseLinkSocket(*linkSocket);
    FailAttempt(attempt);
}

void LinkConnection::FailAttempt(const Attempt& attempt) {
    {
        const std::lock_guard lock(stateMutex_);
        if (attempt.stop.stop_requested()) {
            return;
        }
        connected_.store(0);
        connectWorker_.reset();
    }
    DeliverFromThread(attempt.generation, &attempt.stop, kLinkConnectFailed);
}

// The reader is started before the connection is announced, so that a reader
// that cannot start is reported as a failed attempt; it waits at its gate
// until "建立连接成功" has been delivered, so no chunk can precede it.
void LinkConnection::StartReader(const Attempt& attempt,
                                 const std::shared_ptr<LinkSocket>& linkSocket) {
    enum Gate : int { kWait, kRun, kCancel };
    auto gate = std::make_shared<std::atomic<int>>(kWait);
    auto reader = LinkThread::Start(starter_, [this, linkSocket, gate] {
        gate->wait(kWait);
        if (gate->load() == kRun) {
            SocketThreadFunc(*linkSocket);
        }
    });
    if (!reader) {
        CloseLinkSocket(*linkSocket);
        FailAttempt(attempt);
        return;
    }
    threads_.Add(std::move(reader));
    bool announced = false;
    {
        const std::lock_guard lock(stateMutex_);
        if (!attempt.stop.stop_requested()) {
            connected_.store(1);
            connectWorker_.reset();
            announced = true;
        }
    }
    if (announced) {
        DeliverFromThread(attempt.generation, &attempt.stop, kLinkConnected);
    }
    gate->store(announced ? kRun : kCancel);
    gate->notify_all();
}

void LinkConnection::SocketThreadFunc(LinkSocket& linkSocket) {
    ByteStream& stream = linkSocket.Stream();
    std::array<char, kReceiveSize> buffer{};
    while (!linkSocket.StopRequested()) {
        const int ready = stream.WaitReadable(options_.readableWait);
        if (ready == 0) {
            continue;
        }
        if (ready < 0) {
            EndConnection(linkSocket, true, true);
            return;
        }
        buffer.fill(0);
        const std::ptrdiff_t received = stream.Read(buffer.data(), buffer.size());
        if (received < 0) {
            if (IsWouldBlock(stream.LastError())) {
                continue;
            }
            EndConnection(linkSocket, true, true);
            return;
        }
        if (received == 0) {
            // Our own Close() shut the stream down: that is reported as an error.
            EndConnection(linkSocket, linkSocket.StopRequested(), true);
            return;
        }
        const auto count = std::min(static_cast<std::size_t>(received), buffer.size());
        if (tap_ != nullptr) {
            tap_->Received(stream.Kind(), std::string_view(buffer.data(), count));
        }
        DeliverChunk(linkSocket.Generation(), buffer.data(), count);
    }
}

// The end is reported once, by whichever of the reader and a failed send
// notices it first; statuses from the caller's thread are delivered there.
void LinkConnection::EndConnection(LinkSocket& linkSocket, bool error, bool onLinkThread) {
    if (linkSocket.MarkEnded()) {
        const auto report = [&](std::u16string_view status) {
            if (onLinkThread) {
                DeliverFromThread(linkSocket.Generation(), nullptr, status);
            } else {
                DeliverHere(status);
            }
        };
        if (error) {
            report(kLinkError);
        }
        {
            const std::lock_guard lock(stateMutex_);
            if (linkSocket.Generation() == latestGeneration_.load()) {
                connected_.store(0);
            }
        }
        report(kLinkDisconnected);
    }
    CloseLinkSocket(linkSocket);
}

void LinkConnection::CloseLinkSocket(LinkSocket& linkSocket) {
    linkSocket.Close();
    const std::lock_guard lock(stateMutex_);
    if (socket_.get() == &linkSocket) {
        socket_.reset();
    }
}

int LinkConnection::Send(const char* bytes, std::size_t count) {
    if (connected_.load() == 0) {
        return -1;
    }
    std::shared_ptr<LinkSocket> current;
    {
        const std::lock_guard lock(stateMutex_);
        current = socket_;
    }
    if (!current) {
        return -1;
    }
    const std::ptrdiff_t sent = current->Stream().Write(bytes, count);
    if (sent >= 0) {
        if (tap_ != nullptr) {
            const auto taken = std::min(static_cast<std::size_t>(sent), count);
            tap_->Sent(current->Stream().Kind(), std::string_view(bytes, taken));
        }
        return 1;
    }
    EndConnection(*current, true, false);
    return 0;
}

// The stream is shut down before waiting for the worker: that is what
// interrupts an open the worker is blocked in.
void LinkConnection::Close() {
    std::shared_ptr<LinkThread> worker;
    std::shared_ptr<LinkSocket> current;
    {
        const std::lock_guard lock(stateMutex_);
        connected_.store(0);
        if (connectWorker_) {
            workerStop_.request_stop();
            worker = connectWorker_;
        }
        current = std::move(socket_);
    }
    if (current) {
        if (tap_ != nullptr && !current->StopRequested()) {
            tap_->Event(current->Stream().Kind(), "close");
        }
        current->Close();
    }
    if (worker && !worker->IsCallingThread()) {
        worker->WaitFinished(options_.workerStopLimit);
    }
    const std::lock_guard lock(stateMutex_);
    if (worker && connectWorker_ == worker) {
        connectWorker_.reset();
    }
}

void LinkConnection::DeliverFromThread(uint64_t generation, const std::stop_token* stop,
                                       std::u16string_view status) {
    const std::string bytes = EncodeCp936(status);
    const std::lock_guard lock(threadDeliveryMutex_);
    if (generation != latestGeneration_.load() || (stop && stop->stop_requested())) {
        return;
    }
    LogEvent(status);
    if (LinkSink* sink = notifyTarget_.load()) {
        sink->Deliver(bytes.c_str(), bytes.size());
    }
}

void LinkConnection::DeliverChunk(uint64_t generation, const char* bytes, std::size_t count) {
    const std::lock_guard lock(threadDeliveryMutex_);
    if (generation != latestGeneration_.load() || connected_.load() == 0) {
        return;
    }
    deliveryBuffer_.fill(0);
    std::copy_n(bytes, count, deliveryBuffer_.begin());
    if (LinkSink* sink = notifyTarget_.load()) {
        sink->Deliver(deliveryBuffer_.data(), count);
    }
}

void LinkConnection::DeliverHere(std::u16string_view status) {
    const std::string bytes = EncodeCp936(status);
    LogEvent(status);
    if (LinkSink* sink = notifyTarget_.load()) {
        sink->Deliver(bytes.c_str(), bytes.size());
    }
}

void LinkConnection::LogEvent(std::u16string_view text) {
    if (tap_ != nullptr) {
        tap_->Event(latestKind_.load(), ToUtf8(text));
    }
}

void LinkConnection::Diagnose(std::u16string_view text) const {
    if (options_.diagnostic) {
        options_.diagnostic(text);
    } else {
        std::cerr << ToUtf8(text) << '\n';
    }
}

} // namespace quorlex
