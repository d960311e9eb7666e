#include "settings/WorkingScreen.h"

#include "CommandList.h"
#include "model/PresetServer.h"

#include <gtest/gtest.h>

using namespace quorlex;
using quorlex::testing::ExpectCommands;

namespace {

TEST(WorkingScreenTest, InitialCopyResetsBothProfilesAndBothRadioBlocks) {
    const ReceiverConfig work = InitialWorkCopy();
    const ReceiverConfig record;
    for (const NetworkBlock& network : work.datalink.network) {
        EXPECT_EQ(network.apn, (ApnBlock{u"cment", u"", u""}));
        EXPECT_EQ(network.server,
                  (NetworkServerBlock{std::u16string(kPresetServerAddress), 6060, u"", u"", u""}));
    }
    EXPECT_EQ(work.datalink.network[0].ggaUploadInterval, 30);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const RadioBlock& radio = work.datalink.radio[i];
        EXPECT_EQ(radio.channel, 1);
        EXPECT_EQ(radio.protocol, 0);
        EXPECT_EQ(radio.channelSpacing, 25.0);
        EXPECT_EQ(radio.rxChannel, 0);
        EXPECT_EQ(radio.highPower, 0);
        EXPECT_EQ(radio.rxFrequency[0], 0.0);
        // The rest of each block stays as the record builds it.
        EXPECT_EQ(radio.txFrequency, record.datalink.radio[i].txFrequency);
    }
    EXPECT_EQ(work.workingMode, record.workingMode);
}

TEST(WorkingScreenTest, ReadCommandAndLabelOfEachConfiguration) {
    ExpectCommands(
        {ReadConfigurationCommand(0), ReadConfigurationCommand(1), ReadConfigurationCommand(5)},
        {{u"GET,ALL", u"读取当前配置信息"},
         {u"GET,ALL,1", u"读取配置1信息"},
         {u"GET,ALL,5", u"读取配置5信息"}});
    EXPECT_EQ(ShownConfigurationLabel(0), u"当前配置及工作模式");
    EXPECT_EQ(ShownConfigurationLabel(3), u"配置3及工作模式");
}

} // namespace
