#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyCodes.h"
#include "model/ReplyKeyTable.h"
#include "tests/model/SampleBurst.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace quorlex {
namespace {

using test::kSampleBurst;
using test::SampleBurstLines;

std::map<std::u16string, int32_t> FeedBurst(ReceiverSettings& settings,
                                            const std::vector<std::u16string>& lines) {
    std::map<std::u16string, int32_t> codes;
    for (size_t i = 0; i < lines.size(); ++i) {
        codes[std::u16string(kSampleBurst[i].key)] = settings.DispatchReplyLine(lines[i]);
    }
    return codes;
}

TEST(ConfigBurst, EveryKeyOfTheTableIsAnsweredWithItsCode) {
    ReceiverSettings settings;
    const auto lines = SampleBurstLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(settings.DispatchReplyLine(lines[i]), kSampleBurst[i].code)
            << ToUtf8(kSampleBurst[i].key);
    }
    std::set<std::u16string_view> burstKeys;
    for (const auto& entry : kSampleBurst) {
        burstKeys.insert(entry.key);
    }
    EXPECT_EQ(burstKeys.size(), kSampleBurst.size()) << "each key once";
    EXPECT_EQ(burstKeys.size(), ReplyKeys().size());
    for (const ReplyKey& entry : ReplyKeys()) {
        EXPECT_TRUE(burstKeys.contains(entry.key)) << ToUtf8(entry.key) << " is never decoded";
    }
}

TEST(ConfigBurst, FillsTheRecordWithTheValuesItCarried) {
    ReceiverSettings settings;
    FeedBurst(settings, SampleBurstLines());
    const ReceiverConfig& c = settings.config;
    const ReceiverInfo& i = settings.info;

    EXPECT_EQ(i.device.serialNumber, u"5217A1234567");
    EXPECT_EQ(i.device.model, u"ROVER");
    EXPECT_EQ(i.device.hardwareVersion, u"V2.1");
    EXPECT_EQ(i.device.biosVersion, u"1.02");
    EXPECT_EQ(i.device.firmwareVersion, u"3.5.18");
    EXPECT_EQ(i.device.manufactureDate, u"2013-06-18");
    EXPECT_EQ(i.device.extraText, u"GNSS-B220");
    EXPECT_EQ(i.deviceStatus, u"NORMAL");
    EXPECT_EQ(c.workingMode, kWorkingModeNetworkRelay) << "SYS_MODE came after INFO.MODEL";
    EXPECT_EQ(i.sysModeText, u"NETRELAY");
    EXPECT_EQ(c.datalink.currentDatalink, 1);
    EXPECT_EQ(i.datalinkText, u"NETWORK");
    EXPECT_EQ(i.languageText, u"CHINESE");
    EXPECT_EQ(i.powerSource, u"BATTERY");
    EXPECT_EQ(i.powerLevel, u"75");
    EXPECT_DOUBLE_EQ(c.antennaHeight, 1.8);
    EXPECT_EQ(c.antennaMeasureMethod, 1);
    EXPECT_DOUBLE_EQ(c.antennaMeasuredHeight, 1.523);
    EXPECT_EQ(c.recordStatus, u"STOP");
    EXPECT_EQ(c.autoRecord, 1) << "AUTO_REC came after RECORD.MODEL";
    EXPECT_EQ(c.recordCutAngle, 10);
    EXPECT_EQ(c.recordIntervalMs, 200);
    EXPECT_EQ(c.recordPointName, u"PT0001");
    EXPECT_DOUBLE_EQ(c.recordPdopThreshold, 4.5);
    EXPECT_EQ(c.recordRaw, 1);
    EXPECT_EQ(i.antennaType, u"GA-530");
    EXPECT_DOUBLE_EQ(i.antennaRadius, 1385 * 0.0001);
    EXPECT_DOUBLE_EQ(i.antennaH, 652 * 0.0001);
    EXPECT_DOUBLE_EQ(i.antennaHL1, 597 * 0.0001);
    EXPECT_DOUBLE_EQ(i.antennaHL2, 571 * 0.0001);

    EXPECT_EQ(i.gnssModule.serialNumber, u"BGM1234567");
    EXPECT_EQ(i.gnssModule.model, u"B220");
    EXPECT_EQ(i.gnssModule.hardwareVersion, u"1.0");
    EXPECT_EQ(i.gnssModule.biosVersion, u"2.3");
    EXPECT_EQ(i.gnssModule.firmwareVersion, u"4.00Ab");
    EXPECT_EQ(i.gnssModule.manufactureDate, u"2013-05-02");
    EXPECT_EQ(i.gnssModule.extraText, u"L1L2 GPS GLONASS BDS");
    EXPECT_EQ(c.basePositionMode, 1);
    EXPECT_DOUBLE_EQ(c.basePosition[0], 30.5122);
    EXPECT_DOUBLE_EQ(c.basePosition[1], 114.3521);
    EXPECT_DOUBLE_EQ(c.basePosition[2], 26.812);
    EXPECT_EQ(c.diffType, 6);
    EXPECT_EQ(c.baseSiteId, u"0021");
    EXPECT_DOUBLE_EQ(c.basePdopThreshold, 3.0);
    EXPECT_EQ(c.baseDelayStart, 120);
    EXPECT_EQ(c.autoBase, 1);
    EXPECT_EQ(c.elevationMask, 15);
    EXPECT_EQ(c.gnssStatus, u"FIXED");
    EXPECT_EQ(c.gpsEnabled, 1);
    EXPECT_EQ(c.glonassEnabled, 1);
    EXPECT_EQ(c.sbasEnabled, 0);
    EXPECT_EQ(c.beidouEnabled, 1);

    EXPECT_EQ(i.radioModule.serialNumber, u"R45012345");
    EXPECT_EQ(i.radioModule.model, u"UHF-35");
    EXPECT_EQ(i.radioModule.hardwareVersion, u"2.0");
    EXPECT_EQ(i.radioModule.biosVersion, u"1.1");
    EXPECT_EQ(i.radioModule.firmwareVersion, u"2.14");
    EXPECT_EQ(i.radioModule.manufactureDate, u"2013-04-11");
    EXPECT_TRUE(i.radioModule.extraText.empty());
    const RadioBlock& r0 = c.datalink.radio[0];
    const RadioBlock& r1 = c.datalink.radio[1];
    EXPECT_EQ(r0.baud, 19200);
    EXPECT_EQ(r1.baud, 0) << "the radio baud belongs to the first radio only";
    for (const RadioBlock* radio : {&r0, &r1}) {
        EXPECT_EQ(radio->protocol, 3);
        EXPECT_EQ(radio->status, u"NORMAL");
        for (int ch = 0; ch < kRadioChannelCount; ++ch) {
            EXPECT_DOUBLE_EQ(radio->txFrequency[ch], 450.05 + ch) << "channel " << ch + 1;
        }
        EXPECT_DOUBLE_EQ(radio->channelSpacing, 12.5);
        EXPECT_DOUBLE_EQ(radio->upperLimit, 470.0);
        EXPECT_DOUBLE_EQ(radio->lowerLimit, 410.0);
        EXPECT_EQ(radio->channel, 4);
        EXPECT_EQ(radio->highPower, 1);
    }
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_DOUBLE_EQ(r1.rxFrequency[ch], 460.125 + ch);
    }
    EXPECT_DOUBLE_EQ(r1.rxFrequency[4], 0.0);
    EXPECT_EQ(r0.rxFrequency, (std::array<double, kRadioChannelCount>{}));
    EXPECT_EQ(r1.rxChannel, 6);
    EXPECT_EQ(r0.rxChannel, 0);

    EXPECT_EQ(i.networkModule.serialNumber, u"N77012345");
    EXPECT_EQ(i.networkModule.model, u"GPRS-M10");
    EXPECT_EQ(i.networkModule.hardwareVersion, u"1.3");
    EXPECT_EQ(i.networkModule.biosVersion, u"0.9");
    EXPECT_EQ(i.networkModule.firmwareVersion, u"R03A07");
    EXPECT_EQ(i.networkModule.manufactureDate, u"2013-03-27");
    EXPECT_EQ(i.networkModule.extraText, u"356938035643809");
    const NetworkBlock& net = c.datalink.network[0];
    EXPECT_EQ(net.statusText, u"连接上服务器");
    EXPECT_EQ(net.baud, 115200);
    EXPECT_EQ(net.signalLevel, 21);
    EXPECT_EQ(net.protocol, 2);
    EXPECT_EQ(net.server.address, u"198.51.100.23");
    EXPECT_EQ(net.server.port, 2101);
    EXPECT_EQ(net.baseNumber, u"0021");
    EXPECT_EQ(net.apn.name, u"cmnet");
    EXPECT_EQ(net.apn.user, u"card");
    EXPECT_EQ(net.apn.password, u"secret");
    EXPECT_EQ(net.server.mountPoint, u"RTCM32_GNSS");
    EXPECT_EQ(net.server.user, u"surveyor");
    EXPECT_EQ(net.server.password, u"s3cret");
    EXPECT_EQ(net.ggaUploadInterval, 10);
    EXPECT_EQ(net.autoConnect, 1);
    EXPECT_TRUE(net.errorText.empty());
    EXPECT_EQ(c.datalink.network[1], NetworkBlock{}) << "replies never fill the base profile";
    EXPECT_EQ(c.datalink.externalBaud, 115200);
    EXPECT_EQ(i.bluetoothModel, u"BT-SPP-21");

    EXPECT_EQ(c.nmeaRates, (std::array<int32_t, kNmeaSentenceCount>{1, 0, 5, 5, 0, 1, 1, 0}));
    EXPECT_DOUBLE_EQ(i.refStationLocation[0], 30.5121);
    EXPECT_DOUBLE_EQ(i.refStationLocation[1], 114.3520);
    EXPECT_DOUBLE_EQ(i.refStationLocation[2], 27.1);
    EXPECT_EQ(i.refStationId, u"0021");
    EXPECT_EQ(i.rtkStatus, 4);
    EXPECT_EQ(i.sensorPresent, 1);
    EXPECT_EQ(i.sensorHardwareVersion, u"1.1");
    EXPECT_EQ(i.sensorFirmwareVersion, u"2.05");
    EXPECT_EQ(i.sensorParameter, u"0.12|-0.08|1.000");
    EXPECT_EQ(i.batteryId, u"BT-5800-0042");
}

TEST(ConfigBurst, LinesEndingInCarriageReturnDecodeAlike) {
    ReceiverSettings plain;
    FeedBurst(plain, SampleBurstLines());
    auto lines = SampleBurstLines();
    for (auto& line : lines) {
        line += u'\r';
    }
    ReceiverSettings withCr;
    const auto codes = FeedBurst(withCr, lines);
    EXPECT_EQ(withCr, plain);
    EXPECT_EQ(codes.at(u"BLUETOOTH.MODEL"), kReplyBurstEnd);
    EXPECT_EQ(withCr.info.bluetoothModel, u"BT-SPP-21") << "no carriage return kept in a text";
}

TEST(ConfigBurst, CorruptedChecksumsChangeNothing) {
    auto lines = SampleBurstLines();
    for (auto& line : lines) {
        char16_t& last = line.back();
        last = last == u'0' ? u'1' : u'0';
    }
    ReceiverSettings settings;
    const auto codes = FeedBurst(settings, lines);
    EXPECT_EQ(settings, ReceiverSettings{});
    for (const auto& [key, code] : codes) {
        EXPECT_EQ(code, kReplyNone);
    }
}

TEST(ConfigBurst, DamagedValuesUnderIntactChecksumsChangeNothing) {
    auto lines = SampleBurstLines();
    for (auto& line : lines) {
        // A bit flipped on the way in the last value character.
        line[line.find(u'*') - 1] ^= 0x04;
    }
    ReceiverSettings settings;
    FeedBurst(settings, lines);
    EXPECT_EQ(settings, ReceiverSettings{});
}

TEST(ConfigBurst, ReadingAgainOverwritesKeyByKeyAndKeepsTheRest) {
    ReceiverSettings settings;
    FeedBurst(settings, SampleBurstLines());
    const ReceiverSettings afterFirst = settings;
    EXPECT_EQ(settings.DispatchReplyLine(test::Reply(u"GPS.ELE_MASK", u"20")), 53);
    ReceiverSettings expected = afterFirst;
    expected.config.elevationMask = 20;
    EXPECT_EQ(settings, expected);
}

} // namespace
} // namespace quorlex
