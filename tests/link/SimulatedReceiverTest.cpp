#include "common/Text.h"
#include "link/ReceiverLink.h"
#include "link/sim/SimulatorService.h"
#include "model/ReceiverSettings.h"
#include "sim/ReceiverSimulator.h"
#include "tests/link/LinkTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quorlex;
using namespace quorlex::test;

namespace {

constexpr std::string_view kBurstEnd = "@GNSS,GET,ALL,OK";

std::vector<std::string> Lines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = data.find('\n'); end != std::string::npos;
         end = data.find('\n', start)) {
        lines.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool BurstComplete(const std::vector<RecordingSink::Delivery>& deliveries) {
    std::string data;
    for (const auto& delivery : deliveries) {
        data += IsStatus(delivery.bytes) ? "" : delivery.bytes;
    }
    const std::size_t end = data.find(kBurstEnd);
    return end != std::string::npos && data.find('\n', end) != std::string::npos;
}

class SimulatedReceiverLink : public ::testing::Test {
protected:
    SimulatedReceiverLink() {
        SimulatedReceiver receiver = Receiver();
        receiver.serve = ServeWithSimulator(simulator);
        platform.AddReceiver(std::move(receiver));
        link.SetNotifyTarget(&sink);
    }

    bool Connected() {
        const std::size_t before = sink.Statuses().size();
        return link.Connect(u"1234", kReceiverAddress) && sink.WaitForStatusCount(before + 1) &&
               link.IsConnected();
    }

    std::shared_ptr<ReceiverSimulator> simulator = std::make_shared<ReceiverSimulator>();
    SimulatedPlatform platform;
    RecordingSink sink;
    ReceiverLink link{platform};
};

} // namespace

TEST_F(SimulatedReceiverLink, TheWholeBurstArrivesThroughTheReader) {
    ASSERT_TRUE(Connected());
    ASSERT_EQ(link.Send("GET,ALL\r\n", 9), 1);
    ASSERT_TRUE(sink.WaitUntil(BurstComplete));

    const std::vector<std::string> lines = Lines(sink.Data());
    ASSERT_GT(lines.size(), 2U);
    ReceiverSettings settings;
    std::vector<std::u16string> keys;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_NE(settings.DispatchReplyLine(FromUtf8(lines[i])), 0) << lines[i];
        std::u16string key;
        ExtractField(FromUtf8(lines[i]), 2, u',', key);
        keys.push_back(key);
    }
    EXPECT_EQ(keys.front(), u"DEVICE.INFO.SERIAL");
    EXPECT_EQ(keys.back(), u"BLUETOOTH.MODEL");
    EXPECT_EQ(lines.back().rfind(kBurstEnd, 0), 0U) << lines.back();
    EXPECT_EQ(simulator->ReceivedCommands(), std::vector<std::string>{"GET,ALL"});
    for (const auto& delivery : sink.Deliveries()) {
        EXPECT_LE(delivery.bytes.size(), LinkConnection::kReceiveSize);
        EXPECT_TRUE(delivery.zeroAfter);
    }
    EXPECT_EQ(sink.Statuses(), std::vector<std::u16string>{std::u16string(kLinkConnected)});
}

TEST_F(SimulatedReceiverLink, TheReceiverGoingAwayEndsTheLinkAndItCanBeReached) {
    ASSERT_TRUE(Connected());
    simulator->Detach();
    ASSERT_TRUE(sink.WaitForStatusCount(2));
    EXPECT_EQ(sink.Statuses().back(), kLinkDisconnected);
    EXPECT_FALSE(link.IsConnected());

    ASSERT_TRUE(Connected());
    ASSERT_EQ(link.Send("COM,9600\r\n", 10), 1);
    ASSERT_TRUE(
        Eventually([this] { return sink.Data().find("COM,9600,OK") != std::string::npos; }));
    EXPECT_EQ(simulator->FivePinBaud(), u"9600");
}
