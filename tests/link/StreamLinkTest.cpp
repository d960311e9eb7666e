// TCP and serial links against the simulated receiver: TCP through a local
// port, serial through a pseudo-terminal whose master the simulator serves.
#include "common/CodePage.h"
#include "common/Text.h"
#include "link/ReceiverLink.h"
#include "sim/ReceiverServer.h"
#include "sim/ReceiverSimulator.h"
#include "tests/link/LinkTestSupport.h"
#include "tests/link/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace quorlex;
using namespace quorlex::test;

namespace {

using Statuses = std::vector<std::u16string>;
using std::chrono::milliseconds;

Statuses Texts(std::initializer_list<std::u16string_view> texts) {
    return Statuses(texts.begin(), texts.end());
}

// The far end of one link kind, served by a simulator.
class Endpoint {
public:
    virtual ~Endpoint() = default;
    virtual LinkTarget Target() const = 0;
};

class TcpEndpoint : public Endpoint {
public:
    TcpEndpoint(ReceiverSimulator& simulator, const std::string& address, std::string host)
        : server_(simulator), host_(std::move(host)) {
        started = server_.Start(address, 0, error);
    }
    LinkTarget Target() const override {
        LinkTarget target;
        target.kind = kLinkKindTcp;
        target.host = host_;
        target.port = static_cast<uint16_t>(server_.Port());
        return target;
    }
    bool started = false;
    std::string error;

private:
    ReceiverServer server_;
    std::string host_;
};

// A serial cable through a pseudo-terminal.
class SerialEndpoint : public Endpoint {
public:
    explicit SerialEndpoint(ReceiverSimulator& simulator) : terminal(simulator) {}
    LinkTarget Target() const override {
        LinkTarget target;
        target.kind = kLinkKindSerial;
        target.path = terminal.path;
        return target;
    }
    PseudoTerminal terminal;
};

struct KindCase {
    const char* name;
    int32_t kind;
    // What the link reports when the far end goes away: a peer that closes
    // its socket ends the link cleanly; an unplugged line is an error.
    Statuses whenPeerGoes;
    // Whether every byte sent before the far end went still arrives.
    bool bytesBeforeTheEndArrive;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

const KindCase kKinds[] = {
    {"Tcp", kLinkKindTcp, Texts({kLinkConnected, kLinkDisconnected}), true},
    {"Serial", kLinkKindSerial, Texts({kLinkConnected, kLinkError, kLinkDisconnected}), false},
};

bool BurstComplete(const std::vector<RecordingSink::Delivery>& deliveries) {
    std::string data;
    for (const auto& delivery : deliveries) {
        data += IsStatus(delivery.bytes) ? "" : delivery.bytes;
    }
    const std::size_t end = data.find("@GNSS,GET,ALL,OK");
    return end != std::string::npos && data.find('\n', end) != std::string::npos;
}

class StreamLink : public ::testing::TestWithParam<KindCase> {
protected:
    void SetUp() override {
        simulator->SetLineRate(0);
        if (GetParam().kind == kLinkKindTcp) {
            auto tcp = std::make_unique<TcpEndpoint>(*simulator, "127.0.0.1", "127.0.0.1");
            ASSERT_TRUE(tcp->started) << tcp->error;
            endpoint = std::move(tcp);
        } else {
            auto serial = std::make_unique<SerialEndpoint>(*simulator);
            ASSERT_TRUE(serial->terminal.Ready()) << "no pseudo-terminal";
            endpoint = std::move(serial);
        }
    }

    void TearDown() override {
        link.reset();
        simulator->Detach();
    }

    ReceiverLink& Link(milliseconds readableWait = milliseconds(20)) {
        LinkOptions options;
        options.readableWait = readableWait;
        options.diagnostic = [this](std::u16string_view text) {
            const std::lock_guard lock(diagnosticsMutex);
            diagnostics.emplace_back(text);
        };
        link = std::make_unique<ReceiverLink>(platform, std::move(options));
        link->SetNotifyTarget(&sink);
        return *link;
    }

    bool Connected(const LinkTarget& target) {
        if (!link) {
            Link();
        }
        return link->Connect(target) && sink.WaitForStatusCount(1) &&
               sink.Statuses().back() == kLinkConnected && link->IsConnected();
    }

    bool Connected() { return Connected(endpoint->Target()); }

    bool Send(std::string_view command) {
        const std::string line = std::string(command) + "\r\n";
        return link->Send(line.data(), line.size()) == 1;
    }

    std::vector<std::u16string> Diagnostics() {
        const std::lock_guard lock(diagnosticsMutex);
        return diagnostics;
    }

    std::shared_ptr<ReceiverSimulator> simulator = std::make_shared<ReceiverSimulator>();
    std::unique_ptr<Endpoint> endpoint;
    SimulatedPlatform platform;
    RecordingSink sink;
    std::mutex diagnosticsMutex;
    std::vector<std::u16string> diagnostics;
    std::unique_ptr<ReceiverLink> link;
};

std::string CaseName(const ::testing::TestParamInfo<KindCase>& info) {
    return info.param.name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Kinds, StreamLink, ::testing::ValuesIn(kKinds), CaseName);

TEST_P(StreamLink, TheWholeBurstArrivesInChunksOfAtMostOneReceiveEach) {
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(Send("GET,ALL"));
    ASSERT_TRUE(sink.WaitUntil(BurstComplete));
    EXPECT_EQ(simulator->ReceivedCommands(), std::vector<std::string>{"GET,ALL"});
    // The simulator counts a write once it has returned, maybe after the bytes arrived.
    EXPECT_TRUE(Eventually([&] { return simulator->BytesSent() == sink.Data().size(); }));
    for (const auto& delivery : sink.Deliveries()) {
        EXPECT_LE(delivery.bytes.size(), LinkConnection::kReceiveSize);
        EXPECT_TRUE(delivery.zeroAfter);
    }
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
}

TEST_P(StreamLink, TheFarEndGoingAwayMidBurstEndsTheLink) {
    simulator->SetLineRate(115200);
    SimulatorFaults faults;
    faults.dropAfterBytes = 3000;
    simulator->SetFaults(faults);
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(Send("GET,ALL"));
    ASSERT_TRUE(sink.WaitForStatusCount(GetParam().whenPeerGoes.size()));
    EXPECT_EQ(sink.Statuses(), GetParam().whenPeerGoes);
    EXPECT_FALSE(link->IsConnected());
    EXPECT_EQ(link->Send("x", 1), -1);
    const std::string data = sink.Data();
    if (GetParam().bytesBeforeTheEndArrive) {
        EXPECT_EQ(data.size(), 3000U);
    }
    EXPECT_LE(data.size(), 3000U);
    EXPECT_EQ(data.rfind("@GNSS,GET,DEVICE.INFO.SERIAL", 0), 0U) << data.substr(0, 40);
}

TEST_P(StreamLink, AWriteToAVanishedFarEndGivesTheLinkUp) {
    ASSERT_TRUE(Connected());
    // The reader is kept in a delivery, so the send is the first to meet the end.
    sink.HoldNext();
    ASSERT_TRUE(Send("GET,DEVICE.INFO.SERIAL"));
    ASSERT_TRUE(sink.WaitHeld());
    simulator->Detach();
    int sent = 1;
    ASSERT_TRUE(Eventually([&] {
        sent = link->Send("GET,ALL\r\n", 9);
        return sent != 1;
    }));
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected, kLinkError, kLinkDisconnected}));
    EXPECT_FALSE(link->IsConnected());
    sink.Release();
    EXPECT_TRUE(Eventually([this] { return !simulator->Serving(); }));
    EXPECT_EQ(sink.Statuses().size(), 3U);
}

TEST_P(StreamLink, CloseWakesAReaderWaitingForData) {
    Link(milliseconds(3600000));
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(Send("COM,9600"));
    ASSERT_TRUE(
        Eventually([this] { return sink.Data().find("COM,9600,OK") != std::string::npos; }));
    link->Close();
    // Destruction joins the reader: it must have been woken from its wait.
    std::atomic<bool> destroyed{false};
    std::thread destroy([&] {
        link.reset();
        destroyed = true;
    });
    const bool woken = Eventually([&] { return destroyed.load(); });
    destroy.join();
    EXPECT_TRUE(woken);
    // A reader woken in its wait reports the close as the end of the link, as
    // far as it got before destruction stopped deliveries.
    Statuses statuses = sink.Statuses();
    ASSERT_FALSE(statuses.empty());
    const Statuses whole = Texts({kLinkConnected, kLinkError, kLinkDisconnected});
    EXPECT_EQ(statuses,
              Statuses(whole.begin(), whole.begin() + std::min(statuses.size(), whole.size())));
}

TEST(StreamLinkTcp, ReachesTheReceiverByHostNameAndOverIpv6) {
    struct Case {
        const char* listen;
        const char* host;
    };
    for (const Case& c : {Case{"127.0.0.1", "localhost"}, Case{"::1", "::1"}}) {
        auto simulator = std::make_shared<ReceiverSimulator>();
        TcpEndpoint endpoint(*simulator, c.listen, c.host);
        if (!endpoint.started) {
            // A machine without IPv6 on its loopback.
            EXPECT_STREQ(c.listen, "::1") << endpoint.error;
            continue;
        }
        SimulatedPlatform platform;
        RecordingSink sink;
        {
            LinkOptions options;
            options.readableWait = milliseconds(20);
            ReceiverLink link(platform, options);
            link.SetNotifyTarget(&sink);
            ASSERT_TRUE(link.Connect(endpoint.Target())) << c.host;
            ASSERT_TRUE(sink.WaitForStatusCount(1)) << c.host;
            EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected})) << c.host;
            ASSERT_EQ(link.Send("COM,9600\r\n", 10), 1);
            EXPECT_TRUE(Eventually(
                [&] { return sink.Data().find("@GNSS,COM,9600,OK") != std::string::npos; }));
        }
        simulator->Detach();
    }
}

// A port that was just free and is closed again: nobody listens there.
uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "no free port";
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

TEST(StreamLinkFailure, AnAttemptThatCannotOpenFailsWithTheReasonForTheDeveloper) {
    auto simulator = std::make_shared<ReceiverSimulator>();
    SerialEndpoint held(*simulator);
    ASSERT_TRUE(held.terminal.Ready());
    SimulatedPlatform platform;
    RecordingSink holderSink;
    ReceiverLink holder(platform);
    holder.SetNotifyTarget(&holderSink);
    ASSERT_TRUE(holder.Connect(held.Target()));
    ASSERT_TRUE(holderSink.WaitForStatusCount(1));

    struct Case {
        std::u16string location;
        int32_t kind;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {u"127.0.0.1:" + FromUtf8(std::to_string(ClosedPort())), kLinkKindTcp,
         std::strerror(ECONNREFUSED)},
        {u"/nonexistent/ttyUSB0:9600", kLinkKindSerial, std::strerror(ENOENT)},
        {u"/dev/null:9600", kLinkKindSerial, std::strerror(ENOTTY)},
        {FromUtf8(held.terminal.path) + u":115200", kLinkKindSerial, std::strerror(EBUSY)},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        std::vector<std::u16string> diagnostics;
        LinkOptions options;
        options.diagnostic = [&](std::u16string_view text) { diagnostics.emplace_back(text); };
        ReceiverLink link(platform, options);
        link.SetNotifyTarget(&sink);
        const std::optional<LinkTarget> target = ParseLinkLocation(c.kind, c.location);
        ASSERT_TRUE(target) << ToUtf8(c.location);
        ASSERT_TRUE(link.Connect(*target));
        ASSERT_TRUE(sink.WaitForStatusCount(1));
        EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed})) << ToUtf8(c.location);
        EXPECT_FALSE(link.IsConnected());
        ASSERT_EQ(diagnostics.size(), 1U) << ToUtf8(c.location);
        EXPECT_NE(ToUtf8(diagnostics[0]).find(c.reason), std::string::npos)
            << ToUtf8(diagnostics[0]);
    }
    EXPECT_TRUE(holder.IsConnected());
}
