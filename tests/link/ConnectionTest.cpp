#include "common/Numbers.h"
#include "link/ReceiverLink.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <thread>

using namespace quorlex;
using namespace quorlex::test;

namespace {

using Statuses = std::vector<std::u16string>;

Statuses Texts(std::initializer_list<std::u16string_view> texts) {
    return Statuses(texts.begin(), texts.end());
}

template <typename T, typename M> T With(M T::*member, M value) {
    T faults;
    faults.*member = value;
    return faults;
}

using ReceiverFaults = SimulatedReceiverFaults;
using AdapterFaults = SimulatedAdapterFaults;
using std::chrono::milliseconds;

// Blocks the first caller (and later callers on the same socket) until opened.
class Gate {
public:
    void Arm() {
        const std::lock_guard lock(mutex_);
        armed_ = true;
    }
    void Pass(SocketHandle socket) {
        std::unique_lock lock(mutex_);
        if (!armed_ || (gated_ != kInvalidSocket && socket != gated_)) {
            return;
        }
        gated_ = socket;
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !armed_; });
    }
    bool WaitEntered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [this] { return entered_; });
    }
    void Open() {
        const std::lock_guard lock(mutex_);
        armed_ = false;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool entered_ = false;
    SocketHandle gated_ = kInvalidSocket;
};

// A platform whose readable waits and connects can be held by the test; a
// held connect ignores the stop token, as a stack that cannot be interrupted would.
class GatedPlatform : public SimulatedPlatform {
public:
    Gate readable;
    Gate connect;

    int WaitReadable(SocketHandle socket, std::chrono::milliseconds timeout) override {
        readable.Pass(socket);
        return SimulatedPlatform::WaitReadable(socket, timeout);
    }
    bool Connect(SocketHandle socket, const RfcommAddress& target,
                 std::stop_token /*stop*/) override {
        connect.Pass(socket);
        return SimulatedPlatform::Connect(socket, target, std::stop_token{});
    }
};

// Starts threads until the budget is spent.
class LimitedStarter : public ThreadStarter {
public:
    explicit LimitedStarter(int budget) : budget(budget) {}
    bool Start(std::thread& thread, std::function<void()> body) override {
        if (budget.fetch_sub(1) <= 0) {
            return false;
        }
        return SystemThreadStarter().Start(thread, std::move(body));
    }
    std::atomic<int> budget;
};

class Connection : public ::testing::Test {
protected:
    void SetUp() override { AddReceiver(Receiver()); }
    void TearDown() override { link.reset(); }

    void AddReceiver(SimulatedReceiver receiver) {
        receiver.serve = farEnd.Server();
        platform.AddReceiver(std::move(receiver));
    }

    ReceiverLink& Link(LinkOptions options = {}) {
        options.diagnostic = [this](std::u16string_view text) {
            const std::lock_guard lock(diagnosticsMutex);
            diagnostics.emplace_back(text);
        };
        link = std::make_unique<ReceiverLink>(platform, std::move(options));
        link->SetNotifyTarget(&sink);
        platform.ClearCalls();
        return *link;
    }

    LinkOptions Quick() {
        LinkOptions options;
        options.readableWait = std::chrono::milliseconds(20);
        return options;
    }

    // Connects and waits for the first status.
    bool Connected(std::u16string_view pin = u"1234") {
        if (!link) {
            Link(Quick());
        }
        const std::size_t before = sink.Statuses().size();
        return link->Connect(pin, kReceiverAddress) && sink.WaitForStatusCount(before + 1) &&
               sink.Statuses().back() == kLinkConnected && link->IsConnected() &&
               farEnd.WaitAttached();
    }

    bool AllSocketsClosed() {
        return Eventually([this] { return platform.OpenSockets() == 0; });
    }

    std::vector<std::u16string> Diagnostics() {
        const std::lock_guard lock(diagnosticsMutex);
        return diagnostics;
    }

    bool Called(const std::string& call) {
        const auto calls = platform.Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    GatedPlatform platform;
    RecordingSink sink;
    FarEnd farEnd;
    std::mutex diagnosticsMutex;
    std::vector<std::u16string> diagnostics;
    std::unique_ptr<ReceiverLink> link;
};

} // namespace

TEST_F(Connection, ASuccessfulAttemptTakesItsStepsInOrder) {
    ASSERT_TRUE(Connected());
    auto calls = platform.Calls();
    calls.resize(std::min<std::size_t>(calls.size(), 8));
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "CreateSocket", "RevokePin 000a3b5c7d9e", "RevokeLinkKey 000a3b5c7d9e",
                         "SetSocketOption 34 1", "SetSocketOption 1 1", "SetPinRecord 1234",
                         "SearchSerialPortService 000a3b5c7d9e", "Connect 000a3b5c7d9e port 5"}));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
    EXPECT_TRUE(Diagnostics().empty());
}

TEST_F(Connection, ChunksAreDeliveredWholeWithAZeroAfterThem) {
    ASSERT_TRUE(Connected());
    std::string bytes;
    for (int i = 0; i < 5000; ++i) {
        bytes.push_back(static_cast<char>('a' + i % 26));
    }
    farEnd.Write(bytes);
    ASSERT_TRUE(sink.WaitForData(bytes.size()));
    EXPECT_EQ(sink.Data(), bytes);
    const auto deliveries = sink.Deliveries();
    ASSERT_EQ(deliveries.size(), 3U);
    EXPECT_EQ(deliveries[1].bytes.size(), LinkConnection::kReceiveSize);
    EXPECT_EQ(deliveries[2].bytes.size(), 5000 - LinkConnection::kReceiveSize);
    // The shorter chunk after a full one is not followed by the full one's rest.
    for (const auto& delivery : deliveries) {
        EXPECT_TRUE(delivery.zeroAfter);
    }
}

TEST_F(Connection, AWrongPinFailsTheConnect) {
    ASSERT_TRUE(Link(Quick()).Connect(u"9999", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed}));
    EXPECT_FALSE(link->IsConnected());
    EXPECT_EQ(Diagnostics(), Statuses{u"LoadDeviceDriver Error : " + FormatInt(EACCES)});
    EXPECT_TRUE(AllSocketsClosed());
}

TEST_F(Connection, ARefusedPinRecordIsReportedBeforeTheFailure) {
    platform.SetAdapterFaults(With(&AdapterFaults::pinRecordRefused, true));
    ASSERT_TRUE(Link(Quick()).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(2));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkPinRefused, kLinkConnectFailed}));
    EXPECT_FALSE(Called("Connect 000a3b5c7d9e port 5"));
    EXPECT_TRUE(AllSocketsClosed());
    EXPECT_FALSE(link->IsConnected());
}

TEST_F(Connection, APinLongerThanSixteenCharactersIsRefused) {
    ASSERT_TRUE(Link(Quick()).Connect(u"12345678901234567", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(2));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkPinRefused, kLinkConnectFailed}));
    for (const auto& call : platform.Calls()) {
        EXPECT_NE(call.rfind("SetPinRecord", 0), 0U) << call;
        EXPECT_NE(call.rfind("Connect", 0), 0U) << call;
    }
    EXPECT_TRUE(AllSocketsClosed());
}

TEST_F(Connection, ASixteenCharacterPinFitsTheRecord) {
    platform.RemoveReceiver(kReceiverAddress);
    AddReceiver(Receiver(kReceiverAddress, u"1234567890abcdef"));
    ASSERT_TRUE(Connected(u"1234567890abcdef"));
    EXPECT_TRUE(Called("SetPinRecord 1234567890abcdef"));
}

TEST_F(Connection, WithoutAuthenticationThePinIsNotSetButTheConnectIsTried) {
    platform.RemoveReceiver(kReceiverAddress);
    AddReceiver(Receiver(kReceiverAddress, u""));
    platform.SetAdapterFaults(With(&AdapterFaults::authenticationRefused, true));
    ASSERT_TRUE(Connected());
    for (const auto& call : platform.Calls()) {
        EXPECT_NE(call.rfind("SetPinRecord", 0), 0U);
    }
}

TEST_F(Connection, WithoutAUsableChannelTheSerialPortClassIsUsedOnPortOne) {
    platform.RemoveReceiver(kReceiverAddress);
    SimulatedReceiver silentService = Receiver();
    silentService.answersServiceSearch = false;
    AddReceiver(silentService);
    ASSERT_TRUE(Connected());
    EXPECT_TRUE(Called("Connect 000a3b5c7d9e serial-port-class"));

    for (const int channel : {0, 32, 40}) {
        link.reset();
        platform.RemoveReceiver(kReceiverAddress);
        AddReceiver(Receiver(kReceiverAddress, u"1234", channel));
        ASSERT_TRUE(Connected()) << channel;
        EXPECT_TRUE(Called("Connect 000a3b5c7d9e serial-port-class")) << channel;
    }
}

TEST_F(Connection, AChannelReportedInSixteenBitsIsCutToEight) {
    platform.RemoveReceiver(kReceiverAddress);
    SimulatedReceiver receiver = Receiver(kReceiverAddress, u"1234", 2);
    receiver.serviceResponse =
        std::vector<uint8_t>{0x35, 0x14, 0x35, 0x12, 0x09, 0x00, 0x04, 0x35, 0x0D, 0x35, 0x03,
                             0x19, 0x01, 0x00, 0x35, 0x06, 0x19, 0x00, 0x03, 0x09, 0x01, 0x02};
    AddReceiver(receiver);
    ASSERT_TRUE(Connected());
    EXPECT_TRUE(Called("Connect 000a3b5c7d9e port 2"));
}

TEST_F(Connection, ARefusedConnectFailsAndAllowsANewAttempt) {
    platform.SetReceiverFaults(kReceiverAddress, With(&ReceiverFaults::refuseConnection, true));
    ASSERT_TRUE(Link(Quick()).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed}));
    EXPECT_EQ(Diagnostics(), Statuses{u"LoadDeviceDriver Error : " + FormatInt(ECONNREFUSED)});

    platform.SetReceiverFaults(kReceiverAddress, {});
    ASSERT_TRUE(Eventually([this] { return link->Connect(u"1234", kReceiverAddress); }));
    ASSERT_TRUE(sink.WaitForStatusCount(2));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed, kLinkConnected}));
}

TEST_F(Connection, ASocketThatCannotBeCreatedFailsWithoutAConnect) {
    platform.SetAdapterFaults(With(&AdapterFaults::socketCreationFails, true));
    ASSERT_TRUE(Link(Quick()).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed}));
    EXPECT_EQ(platform.Calls(), std::vector<std::string>{"CreateSocket"});
    EXPECT_TRUE(Diagnostics().empty());
}

TEST_F(Connection, RequestsAreRefusedWhileAnAttemptRunsOrTheLinkIsUp) {
    Link(Quick());
    platform.connect.Arm();
    ASSERT_TRUE(link->Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(platform.connect.WaitEntered());
    EXPECT_FALSE(link->Connect(u"1234", kReceiverAddress));
    platform.connect.Open();
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    ASSERT_TRUE(link->IsConnected());
    EXPECT_FALSE(link->Connect(u"1234", kReceiverAddress));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
    EXPECT_EQ(platform.OpenSockets(), 1U);
}

TEST_F(Connection, ARemoteCloseEndsTheConnection) {
    ASSERT_TRUE(Connected());
    farEnd.Close();
    ASSERT_TRUE(sink.WaitForStatusCount(2));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkDisconnected}));
    EXPECT_FALSE(link->IsConnected());
    EXPECT_EQ(link->Send("x", 1), -1);
    EXPECT_TRUE(AllSocketsClosed());
}

TEST_F(Connection, ADroppedLinkIsAnError) {
    ASSERT_TRUE(Connected());
    platform.SetReceiverFaults(
        kReceiverAddress, With(&ReceiverFaults::dropAfterBytes, std::optional<std::size_t>(10)));
    farEnd.Write("0123456789abcdefghij");
    ASSERT_TRUE(sink.WaitForStatusCount(3));
    EXPECT_EQ(sink.Data(), "0123456789");
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkError, kLinkDisconnected}));
    EXPECT_FALSE(link->IsConnected());
}

TEST_F(Connection, SendsReachTheReceiverAndAFailedSendGivesTheLinkUp) {
    Link(Quick());
    EXPECT_EQ(link->Send("GET,ALL\r\n", 9), -1);
    ASSERT_TRUE(Connected());
    EXPECT_EQ(link->Send("GET,ALL\r\n", 9), 1);
    EXPECT_EQ(farEnd.Read(9), "GET,ALL\r\n");

    platform.SetReceiverFaults(kReceiverAddress, With(&ReceiverFaults::sendFails, true));
    EXPECT_EQ(link->Send("GET,ALL\r\n", 9), 0);
    // Reported before Send returns.
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkError, kLinkDisconnected}));
    EXPECT_FALSE(link->IsConnected());
    EXPECT_EQ(link->Send("GET,ALL\r\n", 9), -1);
    EXPECT_TRUE(AllSocketsClosed());
}

TEST_F(Connection, CloseEndsTheReaderWithoutWaitingForIt) {
    ASSERT_TRUE(Connected());
    sink.HoldNext();
    farEnd.Write("chunk");
    ASSERT_TRUE(sink.WaitHeld());
    // The reader is blocked in a delivery: Close() must still return.
    link->Close();
    EXPECT_FALSE(link->IsConnected());
    sink.Release();
    EXPECT_TRUE(AllSocketsClosed());
    EXPECT_EQ(sink.Data(), "chunk");
}

TEST_F(Connection, AReaderWokenByCloseReportsTheErrorAndTheEnd) {
    Link(Quick());
    platform.readable.Arm();
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(platform.readable.WaitEntered());
    link->Close();
    platform.readable.Open();
    ASSERT_TRUE(sink.WaitForStatusCount(3));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkError, kLinkDisconnected}));
    EXPECT_TRUE(AllSocketsClosed());
    ASSERT_TRUE(Connected());
}

TEST_F(Connection, AQuietConnectionKeepsWaiting) {
    LinkOptions options;
    options.readableWait = std::chrono::milliseconds(2);
    Link(options);
    ASSERT_TRUE(Connected());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(link->IsConnected());
    farEnd.Write("late");
    ASSERT_TRUE(sink.WaitForData(4));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
}

TEST_F(Connection, DataReadAfterCloseIsNotDelivered) {
    Link(Quick());
    platform.readable.Arm();
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(platform.readable.WaitEntered());
    farEnd.Write("after close");
    link->Close();
    platform.readable.Open();
    ASSERT_TRUE(AllSocketsClosed());
    EXPECT_EQ(sink.Data(), "");
}

TEST_F(Connection, CloseStopsAnAttemptBlockedInItsConnect) {
    platform.SetReceiverFaults(kReceiverAddress,
                               With(&ReceiverFaults::connectDelay, milliseconds(3600000)));
    ASSERT_TRUE(Link(Quick()).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(Eventually([this] { return Called("Connect 000a3b5c7d9e port 5"); }));
    link->Close();
    EXPECT_TRUE(AllSocketsClosed());
    EXPECT_FALSE(link->IsConnected());
    EXPECT_TRUE(sink.Statuses().empty());

    platform.SetReceiverFaults(kReceiverAddress, {});
    ASSERT_TRUE(Connected());
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
}

TEST_F(Connection, AnAttemptThatOutlivesCloseStaysSilent) {
    LinkOptions options = Quick();
    options.workerStopLimit = std::chrono::milliseconds(20);
    Link(options);
    platform.connect.Arm();
    ASSERT_TRUE(link->Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(platform.connect.WaitEntered());
    // The connect ignores the stop: Close() gives up waiting after the limit.
    link->Close();
    EXPECT_FALSE(link->IsConnected());
    ASSERT_TRUE(link->Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    platform.connect.Open();
    ASSERT_TRUE(Eventually([this] { return platform.OpenSockets() == 1; }));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
    EXPECT_TRUE(link->IsConnected());
}

TEST_F(Connection, AReaderLeftFromAClosedConnectionCannotEndTheNextOne) {
    Link(Quick());
    platform.readable.Arm();
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(platform.readable.WaitEntered());
    link->Close();
    ASSERT_TRUE(Connected());
    platform.readable.Open();
    ASSERT_TRUE(Eventually([this] { return platform.OpenSockets() == 1; }));
    EXPECT_TRUE(link->IsConnected());
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkConnected}));
    farEnd.Write("new");
    ASSERT_TRUE(sink.WaitForData(3));
}

TEST_F(Connection, AReaderThatCannotStartFailsTheAttempt) {
    LimitedStarter starter(1);
    LinkOptions options = Quick();
    options.threadStarter = &starter;
    ASSERT_TRUE(Link(options).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(sink.WaitForStatusCount(1));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed}));
    EXPECT_FALSE(link->IsConnected());
    EXPECT_TRUE(AllSocketsClosed());
    EXPECT_EQ(link->Send("x", 1), -1);
}

TEST_F(Connection, AWorkerThatCannotStartRefusesTheRequest) {
    LimitedStarter starter(0);
    LinkOptions options = Quick();
    options.threadStarter = &starter;
    EXPECT_FALSE(Link(options).Connect(u"1234", kReceiverAddress));
    EXPECT_TRUE(platform.Calls().empty());
    starter.budget = 2;
    ASSERT_TRUE(Connected());
}

TEST_F(Connection, DestructionStopsEverythingAndClosesEverySocket) {
    ASSERT_TRUE(Connected());
    link.reset();
    EXPECT_EQ(platform.OpenSockets(), 0U);

    platform.SetReceiverFaults(kReceiverAddress,
                               With(&ReceiverFaults::connectDelay, milliseconds(3600000)));
    ASSERT_TRUE(Link(Quick()).Connect(u"1234", kReceiverAddress));
    ASSERT_TRUE(Eventually([this] { return Called("Connect 000a3b5c7d9e port 5"); }));
    link.reset();
    EXPECT_EQ(platform.OpenSockets(), 0U);
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
}
