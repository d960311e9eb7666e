#include "sim/ReceiverSimulator.h"
#include "tests/sim/SimPeer.h"

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace quorlex::test {
namespace {

using Clock = std::chrono::steady_clock;

class SimConnectionTest : public ::testing::Test {
protected:
    SimConnectionTest() { simulator.SetLineRate(0); }

    ReceiverSimulator simulator;
};

TEST_F(SimConnectionTest, RecordsEveryCommandInOrderWithoutItsLineEnd) {
    SimPeer peer(simulator);
    peer.Write("GET,RADIO."); // a command split over two writes
    std::this_thread::sleep_for(20ms);
    peer.Write("CHANNEL\r\n\r\nCOM,9600\nSET,RADIO.CHANNEL,2\r\n");
    ASSERT_TRUE(simulator.WaitForCommands(3, 5s));
    EXPECT_EQ(simulator.ReceivedCommands(),
              (std::vector<std::string>{"GET,RADIO.CHANNEL", "COM,9600", "SET,RADIO.CHANNEL,2"}));
    EXPECT_EQ(peer.ReadUntil("SET,RADIO.CHANNEL,2,OK").size(), 3u);
    simulator.ClearReceivedCommands();
    EXPECT_TRUE(simulator.ReceivedCommands().empty());
}

TEST_F(SimConnectionTest, BadChecksumFaultBreaksEveryChecksumAndNothingElse) {
    SimPeer peer(simulator);
    const std::vector<std::string> clean = peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK");
    SimulatorFaults faults;
    faults.badChecksums = true;
    simulator.SetFaults(faults);
    const std::vector<std::string> bad = peer.Exchange("GET,ALL", "@GNSS,GET,ALL,OK");
    ASSERT_EQ(bad.size(), clean.size());
    ASSERT_GT(bad.size(), 1u);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_TRUE(ChecksumValid(clean[i])) << clean[i];
        EXPECT_FALSE(ChecksumValid(bad[i])) << bad[i];
        const std::size_t star = clean[i].rfind('*');
        EXPECT_EQ(bad[i].substr(0, star + 1), clean[i].substr(0, star + 1));
    }
}

TEST_F(SimConnectionTest, SplitFaultDeliversALineInSeveralChunks) {
    SimPeer peer(simulator);
    SimulatorFaults faults;
    faults.splitPieceBytes = 5;
    faults.splitPause = 150ms;
    simulator.SetFaults(faults);
    peer.Send("COM,115200");
    const std::optional<std::string> first = peer.ReadChunk(5s);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, "@GNSS");
    const std::optional<std::string> second = peer.ReadChunk(5s);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, ",COM,");

    const std::vector<std::string> rest = peer.ReadUntil("OK");
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(*first + *second + rest[0], Checksummed("GNSS,COM,115200,OK"));
}

TEST_F(SimConnectionTest, SilentReceiverRecordsButNeitherAnswersNorObeys) {
    SimPeer peer(simulator);
    SimulatorFaults faults;
    faults.silent = true;
    simulator.SetFaults(faults);
    peer.Send("SET,RADIO.CHANNEL,5");
    peer.Send("GET,ALL");
    ASSERT_TRUE(simulator.WaitForCommands(2, 5s));
    EXPECT_FALSE(peer.ReadChunk(300ms).has_value());
    EXPECT_EQ(simulator.Value(u"RADIO.CHANNEL"), u"1");
    EXPECT_EQ(simulator.ReceivedCommands(),
              (std::vector<std::string>{"SET,RADIO.CHANNEL,5", "GET,ALL"}));

    simulator.SetFaults({});
    EXPECT_EQ(peer.Exchange("GET,RADIO.CHANNEL", "OK").size(), 1u);
}

TEST_F(SimConnectionTest, ReplyDelayHoldsTheAnswerBack) {
    SimPeer peer(simulator);
    SimulatorFaults faults;
    faults.replyDelay = 400ms;
    simulator.SetFaults(faults);
    peer.Send("COM,9600");
    EXPECT_FALSE(peer.ReadChunk(150ms).has_value());
    EXPECT_EQ(peer.ReadUntil("@GNSS,COM,9600,OK").size(), 1u);
}

TEST_F(SimConnectionTest, DropFaultCutsTheLinkAfterTheGivenBytes) {
    SimPeer peer(simulator);
    SimulatorFaults faults;
    faults.dropAfterBytes = 100;
    simulator.SetFaults(faults);
    peer.Send("GET,ALL");
    EXPECT_TRUE(peer.SeesEndOfStream(5s));
    EXPECT_EQ(peer.Pending().size(), 100u);
    EXPECT_EQ(simulator.BytesSent(), 100u);
    for (int i = 0; i < 100 && simulator.Serving(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(simulator.Serving());
}

TEST_F(SimConnectionTest, AnswersArePacedAtTheLineRate) {
    SimPeer peer(simulator);
    simulator.SetLineRate(4800); // 480 bytes a second
    const auto start = Clock::now();
    const std::vector<std::string> lines = peer.Exchange("GET,RADIO.FREQUENCY", "OK");
    const auto elapsed = Clock::now() - start;
    ASSERT_EQ(lines.size(), 1u);
    const auto bytes = static_cast<int64_t>(lines[0].size() + 2);
    EXPECT_GE(elapsed, std::chrono::milliseconds(bytes * 1000 / 480 * 9 / 10));
    EXPECT_EQ(simulator.LineRate(), 4800);
}

TEST_F(SimConnectionTest, PeerCloseEndsServingAndDetachIsThenHarmless) {
    {
        SimPeer peer(simulator);
        EXPECT_TRUE(simulator.Serving());
    }
    for (int i = 0; i < 200 && simulator.Serving(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(simulator.Serving());
    simulator.Detach();
    simulator.Detach();
}

TEST_F(SimConnectionTest, NewAttachClosesThePreviousConnection) {
    SimPeer first(simulator);
    SimPeer second(simulator);
    EXPECT_TRUE(first.SeesEndOfStream(5s));
    EXPECT_EQ(second.Exchange("GET,RADIO.CHANNEL", "OK").size(), 1u);
}

TEST_F(SimConnectionTest, DetachReturnsWhileAPacedAnswerIsUnderWay) {
    SimPeer peer(simulator);
    simulator.SetLineRate(300);
    peer.Send("GET,ALL");
    ASSERT_TRUE(peer.ReadChunk(5s).has_value());
    const auto start = Clock::now();
    simulator.Detach();
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_TRUE(peer.SeesEndOfStream(5s));
}

TEST_F(SimConnectionTest, DetachReturnsWhenThePeerStopsReading) {
    SimPeer peer(simulator);
    // Far more than the socket buffers hold; the peer never reads.
    for (int i = 0; i < 200; ++i) {
        peer.Send("GET,ALL");
    }
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    simulator.Detach();
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_FALSE(simulator.Serving());
}

TEST_F(SimConnectionTest, OverlongLineIsDroppedAsNoise) {
    SimPeer peer(simulator);
    peer.Write(std::string(3000, 'x'));
    std::this_thread::sleep_for(20ms);
    peer.Write(std::string(3000, 'x') + "GET,ALL\r\n");
    peer.Send("GET,RADIO.CHANNEL");
    const std::vector<std::string> lines = peer.ReadUntil("OK");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], Checksummed("GNSS,GET,RADIO.CHANNEL,OK,1"));
    EXPECT_EQ(simulator.ReceivedCommands(), std::vector<std::string>{"GET,RADIO.CHANNEL"});
}

TEST(SimLifetime, AttachIgnoresABadDescriptorAndDestructionEndsAConnection) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    {
        ReceiverSimulator simulator;
        simulator.Attach(-1);
        EXPECT_FALSE(simulator.Serving());
        simulator.Attach(fds[1]);
        EXPECT_TRUE(simulator.Serving());
    }
    char c;
    EXPECT_EQ(recv(fds[0], &c, 1, 0), 0);
    close(fds[0]);
}

} // namespace
} // namespace quorlex::test
