#include "common/Numbers.h"
#include "common/Text.h"
#include "model/KeyDecoders.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyKeyTable.h"
#include "tests/model/ReplyLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorlex {
namespace {

using test::Reply;

class DecoderKinds : public ::testing::Test {
protected:
    // Decodes one reply line and returns its reply code.
    int32_t Feed(std::u16string_view key, std::u16string_view value) {
        return settings.DispatchReplyLine(Reply(key, value));
    }

    ReceiverSettings settings;
    ReceiverConfig& config = settings.config;
    RadioBlock& radio0 = settings.config.datalink.radio[0];
    RadioBlock& radio1 = settings.config.datalink.radio[1];
    NetworkBlock& network = settings.config.datalink.network[0];
};

TEST_F(DecoderKinds, TextIsStoredExactlyAsReceived) {
    EXPECT_EQ(Feed(u"DEVICE.RECORD.POINTNAME", u" pt 01|x "), 32);
    EXPECT_EQ(config.recordPointName, u" pt 01|x ");
    EXPECT_EQ(Feed(u"NETWORK.APN", u""), 94);
    EXPECT_TRUE(network.apn.name.empty());
    EXPECT_EQ(Feed(u"RADIO.STATUS", u"工作正常"), 64);
    EXPECT_EQ(radio0.status, u"工作正常");
    EXPECT_EQ(radio1.status, u"工作正常");
}

TEST_F(DecoderKinds, TextsCutAtTheChecksumWhenHandedAWholeLine) {
    for (const std::u16string_view key : {u"DEVICE.BATTERY_ID", u"SENSOR.INFO.HARDWARE_VER",
                                          u"SENSOR.INFO.FIRMWARE_VER", u"SENSOR.PARAMETER"}) {
        ASSERT_TRUE(FindReplyKey(key)->decode(settings, Reply(key, u"V1")));
    }
    EXPECT_EQ(settings.info.batteryId, u"V1");
    EXPECT_EQ(settings.info.sensorHardwareVersion, u"V1");
    EXPECT_EQ(settings.info.sensorFirmwareVersion, u"V1");
    EXPECT_EQ(settings.info.sensorParameter, u"V1");
}

TEST_F(DecoderKinds, IntegerReadsAsFarAsTheDigitsGo) {
    EXPECT_EQ(Feed(u"GPS.ELE_MASK", u"  -12deg"), 53);
    EXPECT_EQ(config.elevationMask, -12);
    Feed(u"GPS.ELE_MASK", u"+7");
    EXPECT_EQ(config.elevationMask, 7);
    Feed(u"GPS.ELE_MASK", u"abc");
    EXPECT_EQ(config.elevationMask, 0);
    Feed(u"NETWORK.PORT", u"99999999999");
    EXPECT_EQ(network.server.port, std::numeric_limits<int32_t>::max());
    Feed(u"NETWORK.PORT", u"-99999999999");
    EXPECT_EQ(network.server.port, std::numeric_limits<int32_t>::min());
}

TEST_F(DecoderKinds, DecimalReadsAsFarAsTheDigitsGo) {
    EXPECT_EQ(Feed(u"GPS.BASE.PDOP_THRESHOLD", u"4.75x"), 51);
    EXPECT_DOUBLE_EQ(config.basePdopThreshold, 4.75);
    Feed(u"GPS.BASE.PDOP_THRESHOLD", u"");
    EXPECT_DOUBLE_EQ(config.basePdopThreshold, 0.0);
    Feed(u"RADIO.CHANNEL_SPACING", u"-1.25e1");
    EXPECT_DOUBLE_EQ(radio0.channelSpacing, -12.5);
    EXPECT_DOUBLE_EQ(radio1.channelSpacing, -12.5);
}

TEST_F(DecoderKinds, MillimetresDropTheFractionBeforeScaling) {
    EXPECT_EQ(Feed(u"DEVICE.ANT_HEIGHT", u"1500"), 27);
    EXPECT_DOUBLE_EQ(config.antennaHeight, 1.5);
    Feed(u"DEVICE.ANT_HEIGHT", u"1500.9");
    EXPECT_DOUBLE_EQ(config.antennaHeight, 1.5);
    Feed(u"DEVICE.ANT_HEIGHT", u"-250");
    EXPECT_DOUBLE_EQ(config.antennaHeight, -0.25);
}

TEST_F(DecoderKinds, TenthsOfMillimetresKeepTheFraction) {
    EXPECT_EQ(Feed(u"ANTENNA.R", u"2500"), 37);
    EXPECT_DOUBLE_EQ(settings.info.antennaRadius, 0.25);
    EXPECT_EQ(Feed(u"ANTENNA.HL2", u"2500.5"), 40);
    EXPECT_DOUBLE_EQ(settings.info.antennaHL2, 2500.5 * 0.0001);
}

TEST_F(DecoderKinds, WordTestsSearchCaseSensitively) {
    struct Case {
        std::u16string_view key;
        std::u16string_view value;
        int32_t expected;
        const int32_t* field;
    };
    const Case cases[] = {
        {u"DEVICE.RECORD.MODEL", u"AUTO", 1, &config.autoRecord},
        {u"DEVICE.RECORD.MODEL", u"MANUAL", 0, &config.autoRecord},
        {u"DEVICE.RECORD.MODEL", u"SEMIAUTOMATIC", 1, &config.autoRecord},
        {u"DEVICE.RECORD.MODEL", u"auto", 0, &config.autoRecord},
        {u"DEVICE.RECORD.AUTO_REC", u"YES", 1, &config.autoRecord},
        {u"DEVICE.RECORD.AUTO_REC", u"yes", 0, &config.autoRecord},
        {u"DEVICE.RTK.RECORD_RAW", u"YES", 1, &config.recordRaw},
        {u"DEVICE.RTK.RECORD_RAW", u"NO", 0, &config.recordRaw},
        {u"GPS.BASE.AUTO_BASE", u"=YES=", 1, &config.autoBase},
        {u"GPS.BASE.AUTO_BASE", u"", 0, &config.autoBase},
        {u"GPS.GLONASS", u"ENABLE", 1, &config.glonassEnabled},
        {u"GPS.GLONASS", u"DISABLE", 0, &config.glonassEnabled},
        {u"GPS.GLONASS", u"", 1, &config.glonassEnabled},
        {u"GPS.GLONASS", u"disable", 1, &config.glonassEnabled},
        {u"GPS.GPS", u"DISABLED", 0, &config.gpsEnabled},
        {u"GPS.SBAS", u"ON", 1, &config.sbasEnabled},
        {u"GPS.BEIDOU", u"DISABLE", 0, &config.beidouEnabled},
        {u"NETWORK.AUTO_CONNECT", u"YES", 1, &network.autoConnect},
        {u"NETWORK.AUTO_CONNECT", u"NO", 0, &network.autoConnect},
        {u"NETWORK.AUTO_CONNECT", u"NONE", 0, &network.autoConnect},
        {u"NETWORK.AUTO_CONNECT", u"", 1, &network.autoConnect},
    };
    for (const Case& c : cases) {
        const std::string label = ToUtf8(c.key) + " " + ToUtf8(c.value);
        ASSERT_NE(Feed(c.key, c.value), 0) << label;
        EXPECT_EQ(*c.field, c.expected) << label;
    }
}

TEST_F(DecoderKinds, SysModeTakesOnlyTheFourModeWords) {
    const std::pair<std::u16string_view, int32_t> words[] = {
        {u"UHF", 0}, {u"NETRELAY", 1}, {u"UHFRELAY", 2}, {u"NETBASE", 3}};
    for (const auto& [word, mode] : words) {
        EXPECT_EQ(Feed(u"DEVICE.SYS_MODE", word), 19);
        EXPECT_EQ(config.workingMode, mode);
        EXPECT_EQ(settings.info.sysModeText, word);
    }
    for (const std::u16string_view other : {u"ROVER", u"uhf", u"UHF ", u"NETBASE2", u""}) {
        EXPECT_EQ(Feed(u"DEVICE.SYS_MODE", other), 19);
        EXPECT_EQ(config.workingMode, kWorkingModeBaseNetwork);
        EXPECT_EQ(settings.info.sysModeText, other);
    }
}

TEST_F(DecoderKinds, CurrentDatalinkFallsBackToTheRadio) {
    const std::pair<std::u16string_view, int32_t> words[] = {
        {u"NO_DATALINK", 0}, {u"NETWORK", 1}, {u"EXT", 3},  {u"BLUE", 4},
        {u"DUAL", 5},        {u"UHF", 2},     {u"WIFI", 2}, {u"NETWORK2", 2}};
    for (const auto& [word, link] : words) {
        EXPECT_EQ(Feed(u"DEVICE.CUR_DATALINK", word), 20);
        EXPECT_EQ(config.datalink.currentDatalink, link) << ToUtf8(word);
        EXPECT_EQ(settings.info.datalinkText, word);
    }
}

TEST_F(DecoderKinds, RadioPowerIsHighOnlyForTheExactWord) {
    EXPECT_EQ(Feed(u"RADIO.POWER", u"HIGH"), 70);
    EXPECT_EQ(radio0.highPower, 1);
    EXPECT_EQ(radio1.highPower, 1);
    for (const std::u16string_view other : {u"high", u"HIGH ", u"LOW"}) {
        Feed(u"RADIO.POWER", u"HIGH");
        Feed(u"RADIO.POWER", other);
        EXPECT_EQ(radio0.highPower, 0);
        EXPECT_EQ(radio1.highPower, 0);
    }
}

TEST_F(DecoderKinds, DiffTypeFindsTheLongestListedWordFirst) {
    const std::pair<std::u16string_view, int32_t> words[] = {
        {u"RTCM32", 6}, {u"RTCM3", 0}, {u"RTCM2.3", 2}, {u"RTCA", 4},
        {u"sCMRx", 9},  {u"SCMRX", 1}, {u"CMR+", 1},    {u"DGPS", 3}};
    for (const auto& [word, type] : words) {
        config.diffType = -1;
        EXPECT_EQ(Feed(u"GPS.BASE.DIFF_TYPE", word), 49);
        EXPECT_EQ(config.diffType, type) << ToUtf8(word);
    }
    Feed(u"GPS.BASE.DIFF_TYPE", u"rtcm3");
    EXPECT_EQ(config.diffType, 3) << "an unknown word keeps the type";
}

TEST_F(DecoderKinds, NetworkModeFindsTheLongestListedWordFirst) {
    const std::pair<std::u16string_view, int32_t> words[] = {
        {u"CUSTOM2", 5}, {u"CUSTOM3", 6}, {u"CUSTOM", 4}, {u"NTRIP-CLIENT", 3},
        {u"PPP", 2},     {u"CSD", 1},     {u"", 3},       {u"ppp", 3}};
    for (const auto& [word, protocol] : words) {
        network.protocol = -1;
        EXPECT_EQ(Feed(u"NETWORK.MODE", word), 90);
        EXPECT_EQ(network.protocol, protocol) << ToUtf8(word);
    }
}

TEST_F(DecoderKinds, RecordIntervalReadsSecondsOrHertz) {
    const std::pair<std::u16string_view, int32_t> values[] = {
        {u"1", 1000},
        {u"2", 2000},
        {u"10HZ", 100},
        {u"20hz", 50},
        {u"5HZ", 200},
        {u"3HZ", 333},
        {u"0", 1000},
        {u"ABC", 1000},
        {u"-5", 1000},
        {u"HZ", 1000},
        {u"3000000", std::numeric_limits<int32_t>::max()}, // saturates instead of wrapping
    };
    for (const auto& [value, interval] : values) {
        EXPECT_EQ(Feed(u"DEVICE.RECORD.INTERVAL", value), 31);
        EXPECT_EQ(config.recordIntervalMs, interval) << ToUtf8(value);
    }
    EXPECT_TRUE(DecodeRecordInterval(settings, u"@GNSS,GET,DEVICE.RECORD.INTERVAL,OK,4*HZ"));
    EXPECT_EQ(config.recordIntervalMs, 4000) << "text after a '*' is not part of the value";
}

TEST_F(DecoderKinds, AntennaMeasureChangesOnlyThePartsPresent) {
    EXPECT_EQ(Feed(u"DEVICE.ANT_MEASURE", u"2|1500"), 106);
    EXPECT_EQ(config.antennaMeasureMethod, 2);
    EXPECT_DOUBLE_EQ(config.antennaMeasuredHeight, 1.5);
    Feed(u"DEVICE.ANT_MEASURE", u"3");
    EXPECT_EQ(config.antennaMeasureMethod, 3);
    EXPECT_DOUBLE_EQ(config.antennaMeasuredHeight, 1.5);
    Feed(u"DEVICE.ANT_MEASURE", u"|2000.7");
    EXPECT_EQ(config.antennaMeasureMethod, 0);
    EXPECT_DOUBLE_EQ(config.antennaMeasuredHeight, 2.0);
}

TEST_F(DecoderKinds, FrequencyListFillsTheChannelsItNames) {
    const auto before = radio0.txFrequency;
    radio1.txFrequency = before;
    EXPECT_EQ(Feed(u"RADIO.FREQUENCY", u"450.1|450.2|450.3|450.4|450.5|450.6|450.7|450.8"), 65);
    for (int ch = 0; ch < kRadioChannelCount; ++ch) {
        const double expected = ch < 8 ? 450.1 + 0.1 * ch : before[ch];
        EXPECT_NEAR(radio0.txFrequency[ch], expected, 1e-9) << "channel " << ch + 1;
        EXPECT_NEAR(radio1.txFrequency[ch], expected, 1e-9) << "channel " << ch + 1;
    }
    radio0.txFrequency[8] = 999.0;
    Feed(u"RADIO.FREQUENCY", u"|450.5");
    EXPECT_DOUBLE_EQ(radio0.txFrequency[0], 0.0);
    EXPECT_DOUBLE_EQ(radio0.txFrequency[1], 450.5);
    EXPECT_DOUBLE_EQ(radio0.txFrequency[2], 450.3);
    EXPECT_DOUBLE_EQ(radio0.txFrequency[8], 999.0);
}

TEST_F(DecoderKinds, FrequencyListIgnoresPartsBeyondSixteen) {
    std::u16string value = u"401";
    for (int i = 402; i <= 420; ++i) {
        value += u"|" + FormatInt(i);
    }
    EXPECT_EQ(Feed(u"RADIO.FREQUENCY_RX", value), 107);
    EXPECT_DOUBLE_EQ(radio1.rxFrequency[0], 401.0);
    EXPECT_DOUBLE_EQ(radio1.rxFrequency[15], 416.0);
    EXPECT_EQ(radio0.rxFrequency, (std::array<double, kRadioChannelCount>{}));
    EXPECT_EQ(radio1.txFrequency, DefaultRelayRadio().txFrequency) << "receive list only";
}

TEST_F(DecoderKinds, RadioKeysWriteTheirOwnRadio) {
    EXPECT_EQ(Feed(u"RADIO.CHANNEL", u"7"), 69);
    EXPECT_EQ(radio0.channel, 7);
    EXPECT_EQ(radio1.channel, 7);
    EXPECT_EQ(Feed(u"RADIO.CHANNEL_RX", u"9"), 106);
    EXPECT_EQ(radio1.rxChannel, 9);
    EXPECT_EQ(radio0.rxChannel, 0);
    EXPECT_EQ(Feed(u"RADIO.BAUD", u"9600"), 62);
    EXPECT_EQ(radio0.baud, 9600);
    EXPECT_EQ(radio1.baud, 0);
    EXPECT_EQ(Feed(u"RADIO.FREQ_LOWER_LIMIT", u"403.5"), 68);
    EXPECT_EQ(Feed(u"RADIO.FREQ_UPPER_LIMIT", u"473.5"), 67);
    EXPECT_DOUBLE_EQ(radio1.lowerLimit, 403.5);
    EXPECT_DOUBLE_EQ(radio1.upperLimit, 473.5);
    EXPECT_EQ(Feed(u"RADIO.MODE", u"5"), 63);
    EXPECT_EQ(radio0.protocol, 5);
    EXPECT_EQ(radio1.protocol, 5);
}

TEST_F(DecoderKinds, MountPointUserAndPasswordArePartsOfOneValue) {
    EXPECT_EQ(Feed(u"NETWORK.MOUNTPOINTUSERPASS", u"user1|pw1"), 98);
    EXPECT_EQ(network.server.user, u"user1");
    EXPECT_EQ(network.server.password, u"pw1");
    Feed(u"NETWORK.MOUNTPOINTUSERPASS", u"user2");
    EXPECT_EQ(network.server.user, u"user2");
    EXPECT_EQ(network.server.password, u"pw1");
    Feed(u"NETWORK.MOUNTPOINTUSERPASS", u"|pw3");
    EXPECT_TRUE(network.server.user.empty());
    EXPECT_EQ(network.server.password, u"pw3");
}

TEST_F(DecoderKinds, BasePositionSingleKeepsTheCoordinates) {
    EXPECT_EQ(Feed(u"GPS.BASE.POSITION", u"KNOWN,1|2|3"), 48);
    EXPECT_EQ(config.basePositionMode, 1);
    EXPECT_EQ(config.basePosition, (std::array<double, 3>{2.0, 1.0, 3.0}));
    EXPECT_EQ(Feed(u"GPS.BASE.POSITION", u"SINGLE,7|8|9"), 48);
    EXPECT_EQ(config.basePositionMode, 0);
    EXPECT_EQ(config.basePosition, (std::array<double, 3>{2.0, 1.0, 3.0}));
    EXPECT_EQ(Feed(u"GPS.BASE.POSITION", u"KNOWN"), 48);
    EXPECT_EQ(config.basePositionMode, 1);
    EXPECT_EQ(config.basePosition, (std::array<double, 3>{2.0, 1.0, 3.0}));
    Feed(u"GPS.BASE.POSITION", u"KNOWN,5");
    EXPECT_EQ(config.basePosition, (std::array<double, 3>{0.0, 5.0, 0.0}));
}

TEST_F(DecoderKinds, ReferenceStationAtTheOriginIsStoredButNotReported) {
    Feed(u"GPS.REFSTATION.LOCATION", u"4|5|6");
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"0|0|0"), 0);
    EXPECT_EQ(settings.info.refStationLocation, (std::array<double, 3>{}));
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"0.0000001|-0.0000009|"), 0);
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"0|0|1"), 114);
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"0|-0.000001|0"), 114);
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"1|2|3"), 114);
    EXPECT_EQ(settings.info.refStationLocation, (std::array<double, 3>{2.0, 1.0, 3.0}));
    // NaN is not near zero: the location is reported like any other.
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"nan|0|0"), 114);
    EXPECT_TRUE(std::isnan(settings.info.refStationLocation[1]));
    EXPECT_EQ(Feed(u"GPS.REFSTATION.LOCATION", u"0|0|-inf"), 114);
}

TEST_F(DecoderKinds, SensorFlagIsClearedBeforeEachReading) {
    EXPECT_EQ(Feed(u"SENSOR.INFO.MODEL", u"TILT SENSOR"), 116);
    EXPECT_EQ(settings.info.sensorPresent, 1);
    EXPECT_EQ(Feed(u"SENSOR.INFO.MODEL", u"NONE"), 116);
    EXPECT_EQ(settings.info.sensorPresent, 0);
    Feed(u"SENSOR.INFO.MODEL", u"SENSOR");
    EXPECT_TRUE(DecodeSensorModel(settings, u"@GNSS,GET,SENSOR.INFO.MODEL,OK,X*SENSOR"));
    EXPECT_EQ(settings.info.sensorPresent, 0);
    settings.info.sensorPresent = 1;
    EXPECT_FALSE(DecodeSensorModel(settings, u"@GNSS,GET,SENSOR.INFO.MODEL,OK"));
    EXPECT_EQ(settings.info.sensorPresent, 0);
}

} // namespace
} // namespace quorlex
