#include "sim/ReceiverSimulator.h"
#include "tests/sim/SimPeer.h"

#include <gtest/gtest.h>

namespace quorlex::test {
namespace {

using Kind = CommandFault::Kind;

SimulatorFaults WithFault(std::string command, Kind kind, int count = 1) {
    SimulatorFaults faults;
    faults.commandFaults.push_back({.command = std::move(command), .kind = kind, .count = count});
    return faults;
}

class CommandFaults : public ::testing::Test {
protected:
    CommandFaults() { simulator.SetLineRate(0); }

    ReceiverSimulator simulator;
};

} // namespace

TEST(CommandFault, MatchesTheCommandWithAnyArgumentsOnly) {
    const CommandFault fault{.command = "SET,NETWORK.ADDR"};
    for (const char* received : {"SET,NETWORK.ADDR", "SET,NETWORK.ADDR,192.0.2.1"}) {
        EXPECT_TRUE(fault.Matches(received)) << received;
    }
    for (const char* received :
         {"SET,NETWORK.ADDRESS,1", "SET,NETWORK.AD", "GET,NETWORK.ADDR", "XSET,NETWORK.ADDR,1"}) {
        EXPECT_FALSE(fault.Matches(received)) << received;
    }
    EXPECT_FALSE(CommandFault{}.Matches(""));
}

TEST_F(CommandFaults, TheFirstCopiesAreIgnoredThenTheCommandIsAnswered) {
    simulator.SetFaults(WithFault("COM", Kind::Ignore, 2));
    const std::u16string before = simulator.FivePinBaud();
    SimPeer peer(simulator);
    for (int copy = 1; copy <= 2; ++copy) {
        peer.Send("COM,9600");
        ASSERT_TRUE(simulator.WaitForCommands(static_cast<std::size_t>(copy), 5s));
        EXPECT_FALSE(peer.ReadChunk(50ms).has_value()) << copy;
    }
    EXPECT_EQ(simulator.FivePinBaud(), before) << "an ignored command changes nothing";
    EXPECT_EQ(peer.Exchange("COM,9600", "COM,9600,OK").back(), Checksummed("GNSS,COM,9600,OK"));
    EXPECT_EQ(simulator.FivePinBaud(), u"9600");
    // Setting the faults again starts the count afresh.
    simulator.SetFaults(WithFault("COM", Kind::Ignore, 1));
    peer.Send("COM,19200");
    ASSERT_TRUE(simulator.WaitForCommands(4, 5s));
    EXPECT_FALSE(peer.ReadChunk(50ms).has_value());
}

TEST_F(CommandFaults, AnErrorAnswerLeavesTheReceiverUnchanged) {
    const std::u16string before = *simulator.Value(u"NETWORK.ADDR");
    simulator.SetFaults(WithFault("SET,NETWORK.ADDR", Kind::AnswerError));
    SimPeer peer(simulator);
    for (int copy = 0; copy < 2; ++copy) {
        const auto lines = peer.Exchange("SET,NETWORK.ADDR,192.0.2.9", "ERROR");
        ASSERT_EQ(lines.size(), 1U);
        EXPECT_EQ(lines[0].rfind("@GNSS,ERROR,5", 0), 0U) << lines[0];
        EXPECT_EQ(lines[0].find(",OK"), std::string::npos) << lines[0];
        EXPECT_TRUE(ChecksumValid(lines[0])) << lines[0];
    }
    EXPECT_EQ(simulator.Value(u"NETWORK.ADDR"), before);
    // Other commands are answered as usual.
    EXPECT_EQ(peer.Exchange("COM,9600", "COM,9600,OK").size(), 1U);
}

TEST_F(CommandFaults, DropAfterCarriesTheCommandOutAndEndsTheLinkUnanswered) {
    simulator.SetFaults(WithFault("SET,NETWORK.ADDR", Kind::DropAfter));
    SimPeer peer(simulator);
    peer.Send("SET,NETWORK.ADDR,192.0.2.9");
    EXPECT_TRUE(peer.SeesEndOfStream(5s));
    EXPECT_TRUE(peer.Pending().empty()) << peer.Pending();
    EXPECT_EQ(simulator.Value(u"NETWORK.ADDR"), u"192.0.2.9");
    // The next connection is served normally: the copy was used up.
    SimPeer again(simulator);
    EXPECT_EQ(again.Exchange("SET,NETWORK.ADDR,192.0.2.10", "OK").size(), 1U);
}

} // namespace quorlex::test
