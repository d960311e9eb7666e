#include "model/ReceiverSettings.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "model/PresetServer.h"

#include <gtest/gtest.h>

namespace quorlex {
namespace {

TEST(ReceiverSettings, StartsWithTheReceiversFactoryPicture) {
    const ReceiverSettings settings;
    const ReceiverConfig& c = settings.config;
    EXPECT_TRUE(settings.receivedKeys.empty());
    EXPECT_TRUE(settings.lineBuffer.empty());
    EXPECT_EQ(c.workingMode, kWorkingModeRadioRelay);
    EXPECT_EQ(c.recordCutAngle, 5);
    EXPECT_DOUBLE_EQ(c.recordPdopThreshold, 3.5);
    EXPECT_EQ(c.recordPointName, u"AAAA01");
    EXPECT_EQ(c.recordIntervalMs, 1);
    EXPECT_EQ(c.elevationMask, 5);
    EXPECT_DOUBLE_EQ(c.basePdopThreshold, 3.5);
    EXPECT_EQ(c.baseDelayStart, 180);
    EXPECT_EQ(c.datalink.currentDatalink, 0);
    EXPECT_EQ(c.datalink.externalBaud, 38400);

    const NetworkBlock& relay = c.datalink.network[0];
    EXPECT_EQ(relay.protocol, 3);
    EXPECT_EQ(relay.apn.name, u"cment");
    EXPECT_TRUE(relay.apn.user.empty() && relay.apn.password.empty());
    EXPECT_EQ(relay.server.address, kPresetServerAddress);
    EXPECT_EQ(relay.server.port, 6060);
    EXPECT_EQ(relay.ggaUploadInterval, 30);
    EXPECT_EQ(c.datalink.network[1], NetworkBlock{});

    const RadioBlock& radio = c.datalink.radio[0];
    const RadioBlock& relayRadio = c.datalink.radio[1];
    for (int ch = 0; ch < kRadioChannelCount; ++ch) {
        EXPECT_DOUBLE_EQ(radio.txFrequency[ch], ch < 8 ? 410.05 + ch : 0.0) << ch + 1;
        EXPECT_DOUBLE_EQ(relayRadio.txFrequency[ch], 0.0) << ch + 1;
    }
    for (const RadioBlock* block : {&radio, &relayRadio}) {
        EXPECT_EQ(block->channel, 1);
        EXPECT_DOUBLE_EQ(block->channelSpacing, 25.0);
        EXPECT_EQ(block->protocol, 0);
        EXPECT_EQ(block->highPower, 0);
    }
    EXPECT_EQ(relayRadio.rxChannel, 0);
    EXPECT_EQ(settings.info, ReceiverInfo{});
    EXPECT_TRUE(settings.info.device.serialNumber.empty());
}

TEST(ReceiverSettings, ResetRestoresTheConstructionDefaults) {
    ReceiverSettings settings;
    settings.receivedKeys = {10, 103};
    settings.lineBuffer = u"@GNSS,GET";
    settings.config.workingMode = 0;
    settings.config.datalink.radio[1].txFrequency[15] = 470.0;
    settings.config.datalink.network[0].apn.name = u"other";
    settings.info.networkModule.extraText = u"356938035643809";
    settings.ResetSettings();
    EXPECT_EQ(settings, ReceiverSettings{});
}

TEST(PresetServer, IsADottedDecimalAddress) {
    int octets = 0;
    std::u16string part;
    while (ExtractField(kPresetServerAddress, octets, u'.', part)) {
        ASSERT_FALSE(part.empty());
        ASSERT_EQ(part.find_first_not_of(u"0123456789"), std::u16string::npos);
        EXPECT_LE(ParseInteger(part), 255);
        ++octets;
    }
    EXPECT_EQ(octets, 4);
}

} // namespace
} // namespace quorlex
