#include "BluezBusTest.h"
#include "common/CodePage.h"
#include "link/LinkStatus.h"
#include "link/ReceiverLink.h"
#include "link/bluez/BluezPlatform.h"

#include <condition_variable>
#include <mutex>

using namespace quorlex;
using namespace quorlex::test;
using namespace std::chrono_literals;

namespace {

class StatusSink : public LinkSink {
public:
    void Deliver(const char* bytes, std::size_t count) override {
        std::lock_guard lock(mutex_);
        statuses_.push_back(DecodeCp936(std::string_view(bytes, count)));
        changed_.notify_all();
    }

    // The texts once count have come, or what came before the time-out.
    std::vector<std::u16string> WaitFor(std::size_t count, std::chrono::seconds patience) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, patience, [&] { return statuses_.size() >= count; });
        return statuses_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::u16string> statuses_;
};

using ReceiverLinkOverBluezTest = BluezPlatformBusTest;

} // namespace

TEST_F(ReceiverLinkOverBluezTest, AnAdapterFoundOffIsSwitchedOnForTheLinksLifetime) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    mock_.SetFlag(kAdapter, kAdapterInterface, "Powered", false);
    {
        ReceiverLink link(platform_);
        EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
        EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
    }
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
    EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
}

TEST_F(ReceiverLinkOverBluezTest, AnAdapterFoundOnIsLeftAsItWas) {
    ASSERT_EQ(mock_.AddAdapter("hci0"), "");
    {
        ReceiverLink link(platform_); // the mock's adapter starts powered, not discoverable
        EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
        EXPECT_FALSE(mock_.Flag(kAdapter, kAdapterInterface, "Discoverable"));
        ASSERT_EQ(mock_.AddDevice("hci0", "00:0A:3B:5C:7D:9E", "GNSS R1"), "");
        ASSERT_EQ(link.Inquire(), 0);
        EXPECT_EQ(link.DeviceCount(), 1);
    }
    EXPECT_TRUE(mock_.Flag(kAdapter, kAdapterInterface, "Powered"));
}

// Without a bus (and here without a Bluetooth socket family) the attempt
// ends in the ordinary failure report instead of hanging.
TEST(ReceiverLinkWithoutBluetooth, AConnectionAttemptReportsFailure) {
    MockBluez environment; // restores the variable afterwards
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quorlex-bus", 1);
    BluezPlatform platform;
    StatusSink sink;
    ReceiverLink link(platform);
    link.SetNotifyTarget(&sink);
    EXPECT_NE(link.Inquire(), 0);
    ASSERT_TRUE(link.Connect(u"1234", 0x000A3B5C7D9EULL));
    const auto statuses = sink.WaitFor(1, 60s);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), kLinkConnectFailed);
    EXPECT_FALSE(link.IsConnected());
}
