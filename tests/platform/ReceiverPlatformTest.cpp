#include "platform/ReceiverPlatform.h"
#include "link/bluez/BluezPlatform.h"
#include "link/sim/SimulatedPlatform.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace quorlex {
namespace {

TEST(ReceiverPlatformTest, SimulationPutsDistinctReceiversInRangeOtherwiseTheAdapterIsUsed) {
    const ReceiverPlatform real = MakeReceiverPlatform(false);
    EXPECT_FALSE(real.simulated);
    EXPECT_NE(dynamic_cast<BluezPlatform*>(real.platform.get()), nullptr);
    EXPECT_TRUE(real.simulators.empty());

    ReceiverPlatform made = MakeReceiverPlatform(true);
    ASSERT_TRUE(made.simulated);
    auto* platform = dynamic_cast<SimulatedPlatform*>(made.platform.get());
    ASSERT_NE(platform, nullptr);
    std::vector<InquiryDevice> found;
    ASSERT_EQ(platform->Inquire(found), 0);
    const std::vector<SimulatedReceiverProfile> profiles = SimulatedReceiversInRange();
    ASSERT_GE(found.size(), 2u);
    ASSERT_EQ(found.size(), profiles.size());
    ASSERT_EQ(made.simulators.size(), profiles.size());
    std::set<uint64_t> addresses;
    std::set<std::u16string> pins;
    std::set<int> channels;
    for (size_t i = 0; i < profiles.size(); ++i) {
        addresses.insert(found[i].address);
        pins.insert(profiles[i].pin);
        channels.insert(profiles[i].channel);
        EXPECT_FALSE(profiles[i].name.empty());
        EXPECT_EQ(made.simulators[i]->Value(u"DEVICE.INFO.SERIAL"), profiles[i].serialNumber);
    }
    EXPECT_EQ(addresses.size(), profiles.size());
    EXPECT_EQ(channels.size(), profiles.size());
    EXPECT_TRUE(pins.count(u"7391") == 1 && pins.size() > 1);
}

} // namespace
} // namespace quorlex
