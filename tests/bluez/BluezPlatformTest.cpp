#include "link/bluez/BluezPlatform.h"
#include "BluezBusTest.h"
#include "link/ReceiverLink.h"

#include <algorithm>
#include <cerrno>

using namespace quorlex;
using namespace quorlex::test;
using namespace std::chrono_literals;

namespace {

using BluezPlatformTest = BluezPlatformBusTest;

} // namespace

TEST_F(BluezPlatformTest, RadioModeIsRaisedAndRestored) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    mock_.SetFlag(kAdapter, kAdapterInterface, "Powered", false);
    uint32_t mode = 99;
    ASSERT_TRUE(platform_.GetRadioMode(mode));
    EXPECT_EQ(mode, kRadioOff);

    ASSERT_TRUE(platform_.SetRadioMode(kRadioDiscoverable));
    EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
    EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
    ASSERT_TRUE(platform_.GetRadioMode(mode));
    EXPECT_EQ(mode, kRadioDiscoverable);

    ASSERT_TRUE(platform_.SetRadioMode(kRadioConnectable));
    EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
    ASSERT_TRUE(platform_.GetRadioMode(mode));
    EXPECT_EQ(mode, kRadioConnectable);

    ASSERT_TRUE(platform_.SetRadioMode(kRadioDiscoverable));
    ASSERT_TRUE(platform_.SetRadioMode(kRadioOff));
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
    ASSERT_TRUE(platform_.GetRadioMode(mode));
    EXPECT_EQ(mode, kRadioOff);

    EXPECT_FALSE(platform_.SetRadioMode(3));
    EXPECT_EQ(platform_.LastError(), EINVAL);
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
}

TEST_F(BluezPlatformTest, InquiryTurnsDiscoveredDevicesIntoNamesAndAddresses) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "12:34:56:78:9A:BC", ""), "");
    std::vector<InquiryDevice> devices = {{u"stale", 5}};
    ASSERT_EQ(platform_.Inquire(devices), 0);
    std::sort(devices.begin(), devices.end(),
              [](const auto& a, const auto& b) { return a.address < b.address; });
    ASSERT_EQ(devices.size(), 2U);
    EXPECT_EQ(devices[0].name, u"GNSS R1");
    EXPECT_EQ(devices[0].address, 0x000A3B5C7D9EULL);
    EXPECT_EQ(devices[1].name, u"");
    EXPECT_EQ(devices[1].address, 0x123456789ABCULL);

    // Classic devices only, and the discovery ended again.
    const auto calls = mock_.Calls(kAdapter);
    std::vector<std::string> methods;
    methods.reserve(calls.size());
    for (const auto& call : calls) {
        methods.push_back(call.method);
    }
    EXPECT_EQ(methods,
              (std::vector<std::string>{"SetDiscoveryFilter", "StartDiscovery", "StopDiscovery"}));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].textArgs, std::vector<std::string>{"Transport=bredr"});
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Discovering"));
}

TEST_F(BluezPlatformTest, RevokingTheLinkKeyRemovesTheDevice) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
    EXPECT_TRUE(platform_.RevokeLinkKey(0x000A3B5C7D9EULL));
    EXPECT_FALSE(mock_.ObjectExists("/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E"));
    const auto calls = mock_.Calls(kAdapter);
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].method, "RemoveDevice");
    EXPECT_EQ(calls[0].textArgs, std::vector<std::string>{"/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E"});

    EXPECT_FALSE(platform_.RevokeLinkKey(0x000A3B5C7D9EULL)); // nothing kept any more
    EXPECT_FALSE(platform_.RevokePin(0x000A3B5C7D9EULL));     // no PIN registered
}

TEST_F(BluezPlatformTest, WithoutAnAdapterEveryAdapterOperationFails) {
    uint32_t mode = 77;
    EXPECT_FALSE(platform_.GetRadioMode(mode));
    EXPECT_EQ(platform_.LastError(), ENODEV);
    EXPECT_EQ(mode, 77U);
    EXPECT_FALSE(platform_.SetRadioMode(kRadioDiscoverable));
    std::vector<InquiryDevice> devices = {{u"kept", 1}};
    EXPECT_EQ(platform_.Inquire(devices), ENODEV);
    EXPECT_EQ(devices.size(), 1U);
    EXPECT_FALSE(platform_.RevokeLinkKey(0x000A3B5C7D9EULL));
}

// No daemon and no bus: the state of a machine without Bluetooth. The default
// options are used, so a wait on the discovery window or a D-Bus time-out
// would show as a run of many seconds.
TEST(BluezPlatformWithoutBluetooth, EveryOperationFailsAtOnce) {
    MockBluez environment; // restores the variable afterwards
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quorlex-bus", 1);
    const auto started = std::chrono::steady_clock::now();
    BluezPlatform platform;

    uint32_t mode = 77;
    EXPECT_FALSE(platform.GetRadioMode(mode));
    EXPECT_NE(platform.LastError(), 0);
    EXPECT_EQ(mode, 77U);
    EXPECT_FALSE(platform.SetRadioMode(kRadioDiscoverable));
    std::vector<InquiryDevice> devices = {{u"kept", 1}};
    EXPECT_NE(platform.Inquire(devices), 0);
    EXPECT_EQ(devices.size(), 1U);
    EXPECT_FALSE(platform.RevokeLinkKey(1));
    EXPECT_FALSE(platform.RevokePin(1));

    // Operations on a socket that is not there.
    const SocketHandle bogus = 4095;
    EXPECT_FALSE(platform.SetSocketOption(bogus, RfcommOption::AuthenticationRequired, 1));
    EXPECT_EQ(platform.LastError(), EBADF);
    EXPECT_FALSE(platform.SetPinRecord(bogus, PinRecord{1, 4, {'1', '2', '3', '4'}}));
    EXPECT_FALSE(platform.Connect(bogus, RfcommAddress{1, {}, 1}, {}));
    EXPECT_EQ(platform.WaitReadable(bogus, 9000ms), -1);
    char buffer[16];
    EXPECT_EQ(platform.Receive(bogus, buffer, sizeof buffer), -1);
    EXPECT_EQ(platform.Send(bogus, "x", 1), -1);
    EXPECT_FALSE(platform.Shutdown(bogus));
    EXPECT_FALSE(platform.CloseSocket(bogus));
    EXPECT_EQ(platform.LastError(), EBADF);

    const SocketHandle socket = platform.CreateSocket();
    if (socket == kInvalidSocket) {
        EXPECT_NE(platform.LastError(), 0);
    } else {
        // A machine with Bluetooth: the PIN cannot be set up without the daemon.
        EXPECT_FALSE(platform.SetPinRecord(socket, PinRecord{1, 4, {'1', '2', '3', '4'}}));
        EXPECT_TRUE(platform.CloseSocket(socket));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
}

namespace {

struct AdapterCase {
    const char* name;
    bool daemon;  // the Bluetooth daemon runs on the bus
    bool adapter; // it has an adapter
    bool off;     // switched off after the link was made
    bool blocked; // and refuses to be switched on
    AdapterState query;
    AdapterState prepared;
};

constexpr AdapterCase kAdapterCases[] = {
    {"no daemon", false, false, false, false, AdapterState::NoService, AdapterState::NoService},
    {"no adapter", true, false, false, false, AdapterState::NoAdapter, AdapterState::NoAdapter},
    {"powered", true, true, false, false, AdapterState::Usable, AdapterState::Usable},
    {"switched off", true, true, true, false, AdapterState::PoweredOff, AdapterState::Usable},
    {"blocked", true, true, true, true, AdapterState::PoweredOff, AdapterState::CannotPowerOn},
};

} // namespace

TEST(BluezAdapterStateTest, SearchAndConnectKnowWhetherThereIsAnAdapterToUse) {
    if (const std::string reason = MockBluez::MissingReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    constexpr const char* kAdapter = "/org/bluez/hci0";
    constexpr const char* kInterface = "org.bluez.Adapter1";
    for (const AdapterCase& c : kAdapterCases) {
        SCOPED_TRACE(c.name);
        MockBluez mock;
        ASSERT_EQ(c.daemon ? mock.Start() : mock.StartWithoutBluez(), "");
        if (c.adapter) {
            ASSERT_EQ(mock.AddAdapter("hci0"), "");
        }
        BluezPlatform platform;
        ReceiverLink link(platform);
        if (c.off) {
            mock.SetFlag(kAdapter, kInterface, "Powered", false);
        }
        if (c.blocked) {
            ASSERT_EQ(mock.RefusePropertyChanges(kAdapter), "");
        }
        EXPECT_EQ(platform.QueryAdapter(), c.query);
        EXPECT_EQ(link.PrepareAdapter(), c.prepared);
        if (c.adapter) {
            EXPECT_EQ(mock.Flag(kAdapter, kInterface, "Powered"), !c.blocked);
        }
    }
}
