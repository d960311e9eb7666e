#include "link/BluetoothSocket.h"

#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"
#include "link/LinkStatus.h"
#include "link/SerialChannel.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
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

bool IsWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

BluetoothSocket::BluetoothSocket(BluetoothPlatform& platform, LinkOptions options)
    : platform(platform), options(std::move(options)),
      starter(this->options.threadStarter ? *this->options.threadStarter : SystemThreadStarter()) {}

BluetoothSocket::~BluetoothSocket() {
    SetNotifyTarget(nullptr);
    Close();
    threads.JoinAll();
}

bool BluetoothSocket::Connect(std::u16string_view pinText, uint64_t deviceAddress) {
    const std::lock_guard lock(stateMutex);
    if (connected.load() != 0 || connectWorker) {
        return false;
    }
    address = deviceAddress;
    pin = pinText;
    const uint64_t generation = latestGeneration.fetch_add(1) + 1;
    if (socket) {
        socket->Close();
        socket.reset();
    }
    workerStop = std::stop_source();
    Attempt attempt{generation, address, pin, workerStop.get_token()};
    auto worker = LinkThread::Start(
        starter, [this, attempt = std::move(attempt)] { ConnectionWorker(attempt); });
    if (!worker) {
        return false;
    }
    connectWorker = threads.Add(std::move(worker));
    return true;
}

void BluetoothSocket::ConnectionWorker(const Attempt& attempt) {
    const SocketHandle handle = platform.CreateSocket();
    if (handle == kInvalidSocket) {
        FailAttempt(attempt);
        return;
    }
    auto linkSocket =
        std::make_shared<LinkSocket>(platform, handle, attempt.address, attempt.generation);
    if (!PublishSocket(attempt, linkSocket)) {
        return;
    }
    platform.RevokePin(attempt.address);
    platform.RevokeLinkKey(attempt.address);
    const std::optional<PinRecord> record = MakePinRecord(attempt.pin, attempt.address);
    if (!record) {
        RefusePin(attempt, linkSocket);
        return;
    }
    if (attempt.stop.stop_requested()) {
        return;
    }
    platform.SetSocketOption(handle, RfcommOption::Option0x22, 1);
    if (platform.SetSocketOption(handle, RfcommOption::AuthenticationRequired, 1) &&
        !platform.SetPinRecord(handle, *record)) {
        RefusePin(attempt, linkSocket);
        return;
    }
    if (attempt.stop.stop_requested()) {
        return;
    }
    const RfcommAddress target =
        TargetFor(attempt.address, FindSerialChannel(platform, attempt.address, attempt.stop));
    channel.store(static_cast<int32_t>(target.port));
    if (attempt.stop.stop_requested()) {
        return;
    }
    if (!platform.Connect(handle, target, attempt.stop)) {
        const int error = platform.LastError();
        if (attempt.stop.stop_requested()) {
            return;
        }
        Diagnose(FormatText(u"LoadDeviceDriver Error : %d", {int64_t{error}}));
        CloseLinkSocket(*linkSocket);
        FailAttempt(attempt);
        return;
    }
    StartReader(attempt, linkSocket);
}

bool BluetoothSocket::PublishSocket(const Attempt& attempt,
                                    const std::shared_ptr<LinkSocket>& linkSocket) {
    const std::lock_guard lock(stateMutex);
    if (attempt.stop.stop_requested()) {
        return false;
    }
    socket = linkSocket;
    return true;
}

void BluetoothSocket::RefusePin(const Attempt& attempt,
                                const std::shared_ptr<LinkSocket>& linkSocket) {
    DeliverFromThread(attempt.generation, &attempt.stop, kLinkPinRefused);
    CloseLinkSocket(*linkSocket);
    FailAttempt(attempt);
}

void BluetoothSocket::FailAttempt(const Attempt& attempt) {
    {
        const std::lock_guard lock(stateMutex);
        if (attempt.stop.stop_requested()) {
            return;
        }
        connected.store(0);
        connectWorker.reset();
    }
    DeliverFromThread(attempt.generation, &attempt.stop, kLinkConnectFailed);
}

// The reader is started before the connection is announced, so that a reader
// that cannot start is reported as a failed attempt; it waits at its gate
// until "建立连接成功" has been delivered, so no chunk can precede it.
void BluetoothSocket::StartReader(const Attempt& attempt,
                                  const std::shared_ptr<LinkSocket>& linkSocket) {
    enum Gate : int { kWait, kRun, kCancel };
    auto gate = std::make_shared<std::atomic<int>>(kWait);
    auto reader = LinkThread::Start(starter, [this, linkSocket, gate] {
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
    threads.Add(std::move(reader));
    bool announced = false;
    {
        const std::lock_guard lock(stateMutex);
        if (!attempt.stop.stop_requested()) {
            connected.store(1);
            connectWorker.reset();
            announced = true;
        }
    }
    if (announced) {
        DeliverFromThread(attempt.generation, &attempt.stop, kLinkConnected);
    }
    gate->store(announced ? kRun : kCancel);
    gate->notify_all();
}

void BluetoothSocket::SocketThreadFunc(LinkSocket& linkSocket) {
    std::array<char, kReceiveSize> buffer{};
    while (!linkSocket.StopRequested()) {
        const int ready = platform.WaitReadable(linkSocket.Handle(), options.readableWait);
        if (ready == 0) {
            continue;
        }
        if (ready < 0) {
            EndConnection(linkSocket, true, true);
            return;
        }
        buffer.fill(0);
        const std::ptrdiff_t received =
            platform.Receive(linkSocket.Handle(), buffer.data(), buffer.size());
        if (received < 0) {
            if (IsWouldBlock(platform.LastError())) {
                continue;
            }
            EndConnection(linkSocket, true, true);
            return;
        }
        if (received == 0) {
            // Our own Close() shut the socket down: that is reported as an error.
            EndConnection(linkSocket, linkSocket.StopRequested(), true);
            return;
        }
        const auto count = std::min(static_cast<std::size_t>(received), buffer.size());
        DeliverChunk(linkSocket.Generation(), buffer.data(), count);
    }
}

// The end is reported once, by whichever of the reader and a failed send
// notices it first; statuses from the caller's thread are delivered there.
void BluetoothSocket::EndConnection(LinkSocket& linkSocket, bool error, bool onLinkThread) {
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
            const std::lock_guard lock(stateMutex);
            if (linkSocket.Generation() == latestGeneration.load()) {
                connected.store(0);
            }
        }
        report(kLinkDisconnected);
    }
    CloseLinkSocket(linkSocket);
}

void BluetoothSocket::CloseLinkSocket(LinkSocket& linkSocket) {
    linkSocket.Close();
    const std::lock_guard lock(stateMutex);
    if (socket.get() == &linkSocket) {
        socket.reset();
    }
}

int BluetoothSocket::Send(const char* bytes, std::size_t count) {
    if (connected.load() == 0) {
        return -1;
    }
    std::shared_ptr<LinkSocket> current;
    {
        const std::lock_guard lock(stateMutex);
        current = socket;
    }
    if (!current) {
        return -1;
    }
    if (platform.Send(current->Handle(), bytes, count) >= 0) {
        return 1;
    }
    EndConnection(*current, true, false);
    return 0;
}

// The socket is shut down before waiting for the worker: that is what
// interrupts a connect the worker is blocked in.
void BluetoothSocket::Close() {
    std::shared_ptr<LinkThread> worker;
    std::shared_ptr<LinkSocket> current;
    {
        const std::lock_guard lock(stateMutex);
        connected.store(0);
        if (connectWorker) {
            workerStop.request_stop();
            worker = connectWorker;
        }
        current = std::move(socket);
    }
    if (current) {
        current->Close();
    }
    if (worker && !worker->IsCallingThread()) {
        worker->WaitFinished(options.workerStopLimit);
    }
    const std::lock_guard lock(stateMutex);
    if (worker && connectWorker == worker) {
        connectWorker.reset();
    }
}

void BluetoothSocket::DeliverFromThread(uint64_t generation, const std::stop_token* stop,
                                        std::u16string_view status) {
    const std::string bytes = EncodeCp936(status);
    const std::lock_guard lock(threadDeliveryMutex);
    if (generation != latestGeneration.load() || (stop && stop->stop_requested())) {
        return;
    }
    if (LinkSink* sink = notifyTarget.load()) {
        sink->Deliver(bytes.c_str(), bytes.size());
    }
}

void BluetoothSocket::DeliverChunk(uint64_t generation, const char* bytes, std::size_t count) {
    const std::lock_guard lock(threadDeliveryMutex);
    if (generation != latestGeneration.load() || connected.load() == 0) {
        return;
    }
    deliveryBuffer.fill(0);
    std::copy_n(bytes, count, deliveryBuffer.begin());
    if (LinkSink* sink = notifyTarget.load()) {
        sink->Deliver(deliveryBuffer.data(), count);
    }
}

void BluetoothSocket::DeliverHere(std::u16string_view status) {
    const std::string bytes = EncodeCp936(status);
    if (LinkSink* sink = notifyTarget.load()) {
        sink->Deliver(bytes.c_str(), bytes.size());
    }
}

void BluetoothSocket::Diagnose(std::u16string_view text) const {
    if (options.diagnostic) {
        options.diagnostic(text);
    } else {
        std::cerr << ToUtf8(text) << '\n';
    }
}

} // namespace quorlex
