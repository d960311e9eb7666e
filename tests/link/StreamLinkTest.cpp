// TCP and serial links against the simulated receiver: TCP through a local
// port, serial through a pseudo-terminal whose master the simulator serves.
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
#include <optional>
#include <thread>

using namespace quorlex;
using namespace quorlex::test;

namespace {

using Statuses = std::vector<std::u16string>;
using std::chrono::milliseconds;

Statuses Texts(std::initializer_list<std::u16string_view> texts) {
    return Statuses(texts.begin(), texts.end());
}

const Statuses kLinkLost = Texts({kLinkConnected, kLinkError, kLinkDisconnected});

struct KindCase {
    const char* name;
    int32_t kind;
    // TCP: where the simulator listens, and the host the link is given.
    const char* listen;
    const char* host;
    // What the link reports when the far end goes away: a peer that closes
    // its socket ends the link cleanly; an unplugged line is an error.
    Statuses whenPeerGoes;
    // Whether every byte sent before the far end went still arrives.
    bool bytesBeforeTheEndArrive;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

// A host name stands for every address it has: the first that answers is used.
const KindCase kKinds[] = {
    {"TcpByName", kLinkKindTcp, "127.0.0.1", "localhost",
     Texts({kLinkConnected, kLinkDisconnected}), true},
    {"TcpIpv6", kLinkKindTcp, "::1", "::1", Texts({kLinkConnected, kLinkDisconnected}), true},
    {"Serial", kLinkKindSerial, "", "", kLinkLost, false},
};

class StreamLink : public ::testing::TestWithParam<KindCase> {
protected:
    void SetUp() override {
        simulator.SetLineRate(0);
        const KindCase& c = GetParam();
        target.kind = c.kind;
        if (c.kind == kLinkKindSerial) {
            terminal.emplace(simulator);
            ASSERT_TRUE(terminal->Ready()) << "no pseudo-terminal";
            target.path = terminal->path;
            return;
        }
        server.emplace(simulator);
        std::string error;
        if (!server->Start(c.listen, 0, error)) {
            // A machine without IPv6 on its loopback.
            ASSERT_STREQ(c.listen, "::1") << error;
            GTEST_SKIP() << error;
        }
        target.host = c.host;
        target.port = static_cast<uint16_t>(server->Port());
    }

    void TearDown() override {
        link.reset();
        simulator.Detach();
    }

    bool Connected(milliseconds readableWait = milliseconds(20)) {
        LinkOptions options;
        options.readableWait = readableWait;
        link = std::make_unique<ReceiverLink>(platform, std::move(options));
        link->SetNotifyTarget(&sink);
        return link->Connect(target) && sink.WaitForStatusCount(1) &&
               sink.Statuses().back() == kLinkConnected && link->IsConnected();
    }

    bool Send(std::string_view command) {
        const std::string line = std::string(command) + "\r\n";
        return link->Send(line.data(), line.size()) == 1;
    }

    ReceiverSimulator simulator;
    std::optional<ReceiverServer> server;
    std::optional<PseudoTerminal> terminal;
    LinkTarget target;
    SimulatedPlatform platform;
    RecordingSink sink;
    std::unique_ptr<ReceiverLink> link;
};

std::string CaseName(const ::testing::TestParamInfo<KindCase>& info) {
    return info.param.name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Kinds, StreamLink, ::testing::ValuesIn(kKinds), CaseName);

TEST_P(StreamLink, TheCommandGoesOutAndTheWholeBurstComesBack) {
    ASSERT_TRUE(Connected());
    ASSERT_TRUE(Send("GET,ALL"));
    ASSERT_TRUE(Eventually([this] {
        const std::string data = sink.Data();
        const std::size_t end = data.find("@GNSS,GET,ALL,OK");
        return end != std::string::npos && data.find('\n', end) != std::string::npos;
    }));
    EXPECT_EQ(simulator.ReceivedCommands(), std::vector<std::string>{"GET,ALL"});
    // The simulator counts a write once it has returned, maybe after the bytes arrived.
    EXPECT_TRUE(Eventually([&] { return simulator.BytesSent() == sink.Data().size(); }));
    EXPECT_EQ(sink.Statuses(), Texts({kLinkConnected}));
}

TEST_P(StreamLink, TheFarEndGoingAwayMidBurstEndsTheLink) {
    simulator.SetLineRate(115200);
    simulator.SetFaults({.dropAfterBytes = 3000});
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
    simulator.Detach();
    int sent = 1;
    ASSERT_TRUE(Eventually([&] {
        sent = link->Send("GET,ALL\r\n", 9);
        return sent != 1;
    }));
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(sink.Statuses(), kLinkLost);
    EXPECT_FALSE(link->IsConnected());
    sink.Release();
    EXPECT_TRUE(Eventually([this] { return !simulator.Serving(); }));
    EXPECT_EQ(sink.Statuses().size(), 3U);
}

TEST_P(StreamLink, CloseWakesAReaderWaitingForData) {
    ASSERT_TRUE(Connected(milliseconds(3600000)));
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
    const Statuses statuses = sink.Statuses();
    ASSERT_FALSE(statuses.empty());
    ASSERT_LE(statuses.size(), kLinkLost.size());
    EXPECT_EQ(statuses, Statuses(kLinkLost.begin(), kLinkLost.begin() + statuses.size()));
}

TEST(StreamLinkFailure, AnAttemptThatCannotOpenFailsWithTheReasonForTheDeveloper) {
    ReceiverSimulator simulator;
    std::string closedPort;
    {
        // A port that was just listened on: nobody listens there any more.
        ReceiverServer gone(simulator);
        ASSERT_TRUE(gone.Start("127.0.0.1", 0, closedPort)) << closedPort;
        closedPort = std::to_string(gone.Port());
    }
    PseudoTerminal held(simulator);
    ASSERT_TRUE(held.Ready());
    SimulatedPlatform platform;
    RecordingSink holderSink;
    ReceiverLink holder(platform);
    holder.SetNotifyTarget(&holderSink);
    ASSERT_TRUE(holder.Connect(*ParseLinkLocation(kLinkKindSerial, FromUtf8(held.path))));
    ASSERT_TRUE(holderSink.WaitForStatusCount(1));

    const std::tuple<int32_t, std::string, int> cases[] = {
        {kLinkKindTcp, "127.0.0.1:" + closedPort, ECONNREFUSED},
        {kLinkKindSerial, "/nonexistent/ttyUSB0:9600", ENOENT},
        {kLinkKindSerial, "/dev/null:9600", ENOTTY},
        {kLinkKindSerial, held.path + ":115200", EBUSY},
    };
    for (const auto& [kind, location, reason] : cases) {
        SCOPED_TRACE(location);
        RecordingSink sink;
        std::vector<std::u16string> diagnostics;
        LinkOptions options;
        options.diagnostic = [&](std::u16string_view text) { diagnostics.emplace_back(text); };
        ReceiverLink link(platform, options);
        link.SetNotifyTarget(&sink);
        const std::optional<LinkTarget> target = ParseLinkLocation(kind, FromUtf8(location));
        ASSERT_TRUE(target);
        ASSERT_TRUE(link.Connect(*target));
        ASSERT_TRUE(sink.WaitForStatusCount(1));
        EXPECT_EQ(sink.Statuses(), Texts({kLinkConnectFailed}));
        EXPECT_FALSE(link.IsConnected());
        ASSERT_EQ(diagnostics.size(), 1U);
        EXPECT_NE(ToUtf8(diagnostics[0]).find(std::strerror(reason)), std::string::npos)
            << ToUtf8(diagnostics[0]);
    }
    EXPECT_TRUE(holder.IsConnected());
}
