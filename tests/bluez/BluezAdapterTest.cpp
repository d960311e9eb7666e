#include "link/bluez/BluezAdapter.h"
#include "BluezBusTest.h"
#include "link/bluez/BluezBus.h"

#include <algorithm>

using namespace quorlex;
using namespace quorlex::test;
using namespace std::chrono_literals;

namespace {

class BluezAdapterTest : public BluezBusTest {
protected:
    void SetUp() override {
        BluezBusTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(bus_.Open(5s), 0);
    }

    bool Called(const std::string& path, const std::string& method) {
        const auto calls = mock_.Calls(path);
        return std::any_of(calls.begin(), calls.end(),
                           [&](const MockBluez::Call& call) { return call.method == method; });
    }

    BluezBus bus_;
};

} // namespace

TEST_F(BluezAdapterTest, FindsTheLowestNumberedAdapterOrReportsNone) {
    BluezAdapter adapter(bus_);
    EXPECT_EQ(adapter.Find(), ENODEV);
    bool powered = false;
    EXPECT_EQ(adapter.GetPowered(powered), ENODEV);

    ASSERT_EQ(mock_.AddAdapter("hci2"), "");
    ASSERT_EQ(mock_.AddAdapter("hci1"), "");
    ASSERT_EQ(adapter.Find(), 0);
    EXPECT_EQ(adapter.Path(), "/org/bluez/hci1");
}

TEST_F(BluezAdapterTest, PowerAndDiscoverableAreReadAndWritten) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    mock_.SetFlag("/org/bluez/hci0", kAdapterInterface, "Powered", false);
    BluezAdapter adapter(bus_);
    ASSERT_EQ(adapter.Find(), 0);

    bool powered = true;
    ASSERT_EQ(adapter.GetPowered(powered), 0);
    EXPECT_FALSE(powered);
    ASSERT_EQ(adapter.SetPowered(true), 0);
    ASSERT_EQ(adapter.SetDiscoverable(true), 0);
    EXPECT_TRUE(mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Powered"));
    EXPECT_TRUE(mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Discoverable"));
    bool discoverable = false;
    ASSERT_EQ(adapter.GetDiscoverable(discoverable), 0);
    EXPECT_TRUE(discoverable);

    ASSERT_EQ(adapter.SetDiscoverable(false), 0);
    ASSERT_EQ(adapter.SetPowered(false), 0);
    EXPECT_FALSE(mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Powered"));
    EXPECT_FALSE(mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Discoverable"));
}

TEST_F(BluezAdapterTest, DiscoveryListsTheAdaptersDevicesWithNamesAndAddresses) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    ASSERT_EQ(mock_.AddAdapter("hci1"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "A0:B1:C2:D3:E4:F5", ""), "");
    ASSERT_EQ(mock_.AddDevice("hci1", "11:22:33:44:55:66", "elsewhere"), "");

    BluezAdapter adapter(bus_);
    ASSERT_EQ(adapter.Find(), 0);
    std::vector<BluezDevice> devices = {{u"stale", 1}};
    bool discoveringDuringWindow = false;
    ASSERT_EQ(
        adapter.Discover(1s, devices,
                         [&](std::chrono::milliseconds window) {
                             EXPECT_EQ(window, 1s);
                             discoveringDuringWindow =
                                 mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Discovering");
                             // Found while the window is open.
                             EXPECT_EQ(mock_.AddDevice("hci0", "00:00:00:00:00:01", "接收机"), "");
                         }),
        0);
    EXPECT_TRUE(discoveringDuringWindow);
    EXPECT_FALSE(mock_.Flag("/org/bluez/hci0", kAdapterInterface, "Discovering"));

    std::vector<std::pair<std::u16string, uint64_t>> got;
    got.reserve(devices.size());
    for (const BluezDevice& device : devices) {
        got.emplace_back(device.name, device.address);
    }
    std::sort(got.begin(), got.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    const std::vector<std::pair<std::u16string, uint64_t>> expected = {
        {u"接收机", 0x000000000001ULL},
        {u"GNSS R1", 0x000A3B5C7D9EULL},
        {u"", 0xA0B1C2D3E4F5ULL},
    };
    EXPECT_EQ(got, expected);
}

TEST_F(BluezAdapterTest, DiscoveryThatCannotStartLeavesTheListAlone) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
    BluezAdapter adapter(bus_);
    ASSERT_EQ(adapter.Find(), 0);
    // The adapter disappears between the look-up and the discovery.
    sd_bus_call_method(mock_.Bus(), "org.bluez", "/", "org.bluez.Mock", "RemoveAdapter", nullptr,
                       nullptr, "s", "hci0");
    std::vector<BluezDevice> devices = {{u"kept", 7}};
    bool waited = false;
    EXPECT_NE(adapter.Discover(1s, devices, [&](auto) { waited = true; }), 0);
    EXPECT_FALSE(waited);
    ASSERT_EQ(devices.size(), 1U);
    EXPECT_EQ(devices[0].name, u"kept");
}

TEST_F(BluezAdapterTest, RemovingADeviceForgetsIt) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
    ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9F", "GNSS R2"), "");
    BluezAdapter adapter(bus_);
    ASSERT_EQ(adapter.Find(), 0);
    ASSERT_TRUE(mock_.ObjectExists("/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E"));

    EXPECT_EQ(adapter.RemoveDevice(0x000A3B5C7D9EULL), 0);
    EXPECT_FALSE(mock_.ObjectExists("/org/bluez/hci0/dev_00_0A_3B_5C_7D_9E"));
    EXPECT_TRUE(mock_.ObjectExists("/org/bluez/hci0/dev_00_0A_3B_5C_7D_9F"));
    EXPECT_NE(adapter.RemoveDevice(0x000A3B5C7D9EULL), 0); // nothing left to forget
}
