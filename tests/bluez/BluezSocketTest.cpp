#include "BluezBusTest.h"
#include "link/bluez/BluezPlatform.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <future>
#include <thread>

using namespace quorlex;
using namespace quorlex::test;
using namespace std::chrono_literals;

namespace {

// Stands in for the RFCOMM socket family, which this machine may not have:
// the platform's sockets are one end of socket pairs whose other ends the
// test keeps.
struct SocketPairs {
    ~SocketPairs() {
        for (const int fd : peers) {
            close(fd);
        }
    }

    std::function<int()> Opener() {
        return [this] {
            int fds[2];
            if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
                return -1;
            }
            peers.push_back(fds[1]);
            return fds[0];
        };
    }

    std::vector<int> peers;
};

BluezOptions WithPairs(SocketPairs& pairs) {
    BluezOptions options;
    options.openSocket = pairs.Opener();
    return options;
}

PinRecord Pin(const std::string& text, uint64_t address = 0x000A3B5C7D9EULL) {
    PinRecord record;
    record.address = address;
    record.length = static_cast<uint32_t>(text.size());
    std::copy(text.begin(), text.end(), record.pin.begin());
    return record;
}

} // namespace

TEST(BluezSocket, BytesFlowBothWaysAndShutdownEndsAWait) {
    SocketPairs pairs;
    BluezPlatform platform(WithPairs(pairs));
    const SocketHandle socket = platform.CreateSocket();
    ASSERT_NE(socket, kInvalidSocket);
    const int peer = pairs.peers.at(0);

    EXPECT_EQ(platform.WaitReadable(socket, 10ms), 0);
    char buffer[16] = {};
    EXPECT_EQ(platform.Receive(socket, buffer, sizeof buffer), -1);
    EXPECT_EQ(platform.LastError(), EAGAIN); // would block: not a failure for the reader

    ASSERT_EQ(write(peer, "$GNSS", 5), 5);
    EXPECT_EQ(platform.WaitReadable(socket, 60s), 1);
    ASSERT_EQ(platform.Receive(socket, buffer, sizeof buffer), 5);
    EXPECT_EQ(std::string(buffer, 5), "$GNSS");

    EXPECT_EQ(platform.Send(socket, "GET,ALL\r\n", 9), 9);
    char echoed[9] = {};
    ASSERT_EQ(read(peer, echoed, sizeof echoed), 9);
    EXPECT_EQ(std::string(echoed, 9), "GET,ALL\r\n");

    auto reader =
        std::async(std::launch::async, [&] { return platform.WaitReadable(socket, 60s); });
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(platform.Shutdown(socket));
    ASSERT_EQ(reader.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(reader.get(), 1);
    EXPECT_EQ(platform.Receive(socket, buffer, sizeof buffer), 0);
    EXPECT_EQ(platform.Send(socket, "x", 1), -1);

    EXPECT_TRUE(platform.CloseSocket(socket));
    EXPECT_EQ(platform.WaitReadable(socket, 60s), -1);
    EXPECT_EQ(platform.LastError(), EBADF);
    EXPECT_FALSE(platform.CloseSocket(socket));
}

TEST(BluezSocket, ThePeerClosingIsSeenAsTheEndOfTheStream) {
    SocketPairs pairs;
    BluezPlatform platform(WithPairs(pairs));
    const SocketHandle socket = platform.CreateSocket();
    ASSERT_NE(socket, kInvalidSocket);
    close(pairs.peers.at(0));
    pairs.peers.clear();
    EXPECT_EQ(platform.WaitReadable(socket, 60s), 1);
    char buffer[4];
    EXPECT_EQ(platform.Receive(socket, buffer, sizeof buffer), 0);
    EXPECT_EQ(platform.Send(socket, "x", 1), -1);
    EXPECT_EQ(platform.LastError(), EPIPE);
}

int NoBluetoothSocket() {
    errno = EAFNOSUPPORT;
    return -1;
}

TEST(BluezSocket, ASocketThatCannotBeMadeIsReported) {
    BluezOptions options;
    options.openSocket = std::function<int()>(&NoBluetoothSocket);
    BluezPlatform platform(options);
    EXPECT_EQ(platform.CreateSocket(), kInvalidSocket);
    EXPECT_EQ(platform.LastError(), EAFNOSUPPORT);
}

namespace {

class BluezPairingTest : public BluezBusTest {
protected:
    int Count(const std::string& method) {
        int count = 0;
        for (const auto& call : mock_.Calls("/org/bluez")) {
            count += call.method == method ? 1 : 0;
        }
        return count;
    }

    SocketPairs pairs_;
    BluezPlatform platform_{WithPairs(pairs_)};
};

} // namespace

TEST_F(BluezPairingTest, APinTheDaemonCannotTakeIsRefusedBeforeAnyRegistration) {
    const SocketHandle socket = platform_.CreateSocket();
    ASSERT_NE(socket, kInvalidSocket);
    PinRecord tooLong = Pin("1234");
    tooLong.length = 17;
    EXPECT_FALSE(platform_.SetPinRecord(socket, tooLong));
    EXPECT_EQ(platform_.LastError(), EINVAL);
    EXPECT_FALSE(platform_.SetPinRecord(socket, Pin("12\xE9")));
    EXPECT_EQ(platform_.LastError(), EINVAL);
    EXPECT_EQ(Count("RegisterAgent"), 0);
    EXPECT_FALSE(platform_.Agent().IsServing());
}

TEST_F(BluezPairingTest, TheAgentServesOnlyWhileASocketHoldsAPin) {
    const SocketHandle first = platform_.CreateSocket();
    const SocketHandle second = platform_.CreateSocket();
    ASSERT_NE(first, kInvalidSocket);
    ASSERT_NE(second, kInvalidSocket);
    ASSERT_TRUE(platform_.SetPinRecord(first, Pin("1234")));
    ASSERT_TRUE(platform_.SetPinRecord(second, Pin("0000", 0x112233445566ULL)));
    EXPECT_TRUE(platform_.Agent().IsServing());
    EXPECT_EQ(Count("RegisterAgent"), 1);
    EXPECT_EQ(Count("RequestDefaultAgent"), 1);

    // These sockets cannot reach a device; the attempt still ends the pairing.
    EXPECT_FALSE(platform_.Connect(first, RfcommAddress{0x000A3B5C7D9EULL, {}, 1}, {}));
    EXPECT_TRUE(platform_.Agent().IsServing()); // the second socket still needs it
    EXPECT_TRUE(platform_.CloseSocket(second));
    EXPECT_FALSE(platform_.Agent().IsServing());
    EXPECT_EQ(Count("UnregisterAgent"), 1);
    EXPECT_TRUE(platform_.CloseSocket(first));
    EXPECT_EQ(Count("UnregisterAgent"), 1);

    // A later connection registers afresh.
    const SocketHandle third = platform_.CreateSocket();
    ASSERT_TRUE(platform_.SetPinRecord(third, Pin("1234")));
    EXPECT_EQ(Count("RegisterAgent"), 2);
}
