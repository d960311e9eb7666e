#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyChecksum.h"
#include "model/ReplyCodes.h"
#include "model/ReplyKeyTable.h"
#include "tests/model/ReplyLines.h"

#include <gtest/gtest.h>

namespace quorlex {
namespace {

using test::Reply;

constexpr std::u16string_view kEleMaskBody = u"@GNSS,GET,GPS.ELE_MASK,OK,10";

TEST(ReplyChecksum, IsTheXorAfterTheAtSignWrittenAsTwoUpperCaseDigits) {
    EXPECT_EQ(WithReplyChecksum(kEleMaskBody), u"@GNSS,GET,GPS.ELE_MASK,OK,10*37");
    EXPECT_EQ(WithReplyChecksum(u"@GNSS,GET,GPS.ELE_MASK,OK,8"), u"@GNSS,GET,GPS.ELE_MASK,OK,8*0E");
    // Only the low byte of a UTF-16 unit counts.
    EXPECT_EQ(ReplyChecksum(u"@\u4E2D\u6587*"), 0x2D ^ 0x87);
    EXPECT_EQ(ReplyChecksum(u"@"), 0);
}

TEST(ReplyChecksum, OnlyTheRightDigitsPass) {
    ReceiverSettings settings;
    int passed = 0;
    for (int sum = 0; sum < 256; ++sum) {
        std::u16string line(kEleMaskBody);
        line += u'*';
        line += u"0123456789ABCDEF"[sum >> 4];
        line += u"0123456789ABCDEF"[sum & 0xF];
        const int32_t code = settings.DispatchReplyLine(line);
        if (code != 0) {
            ++passed;
            EXPECT_EQ(line, u"@GNSS,GET,GPS.ELE_MASK,OK,10*37");
            EXPECT_EQ(code, 53);
            EXPECT_EQ(settings.config.elevationMask, 10);
            settings.config.elevationMask = 5;
        }
        EXPECT_EQ(settings.config.elevationMask, 5);
    }
    EXPECT_EQ(passed, 1);
}

TEST(ReplyChecksum, AcceptsLowerCaseDigitsAndIgnoresWhatFollowsThem) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(u"@GNSS,GET,GPS.ELE_MASK,OK,8*0e"), 53);
    EXPECT_EQ(settings.config.elevationMask, 8);
    EXPECT_EQ(settings.DispatchReplyLine(u"@GNSS,GET,GPS.ELE_MASK,OK,10*37\r"), 53);
    EXPECT_EQ(settings.config.elevationMask, 10);
    EXPECT_EQ(settings.DispatchReplyLine(u"@GNSS,GET,GPS.ELE_MASK,OK,8*0E trailing"), 53);
    EXPECT_EQ(settings.config.elevationMask, 8);
}

TEST(ReplyChecksum, RejectsMissingOrShortChecksums) {
    ReceiverSettings settings;
    for (const std::u16string_view line :
         {std::u16string_view(u"@GNSS,GET,GPS.ELE_MASK,OK,10"),
          std::u16string_view(u"@GNSS,GET,GPS.ELE_MASK,OK,10*3"),
          std::u16string_view(u"@GNSS,GET,GPS.ELE_MASK,OK,10*"), std::u16string_view(u"@"),
          std::u16string_view(u"@*"), std::u16string_view(u"")}) {
        EXPECT_EQ(settings.DispatchReplyLine(line), 0) << ToUtf8(line);
    }
    EXPECT_EQ(settings, ReceiverSettings{});
    EXPECT_FALSE(ReplyChecksumValid(u"00"));
}

TEST(ReplyLine, TextBeforeTheAtSignIsIgnored) {
    ReceiverSettings settings;
    // The link's status text reaches the dispatch glued to the next line.
    EXPECT_EQ(settings.DispatchReplyLine(u"建立连接成功,x*00" + Reply(u"GPS.ELE_MASK", u"12")), 53);
    EXPECT_EQ(settings.config.elevationMask, 12);
    EXPECT_EQ(settings.DispatchReplyLine(u"GNSS,GET,GPS.ELE_MASK,OK,10*37"), 0);
}

TEST(ReplyLine, FieldOneIsNotExamined) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(WithReplyChecksum(u"@X,SET,GPS.ELE_MASK,OK,20")), 53);
    EXPECT_EQ(settings.config.elevationMask, 20);
}

TEST(ReplyLine, NeedsAKeyAndAnOkField) {
    ReceiverSettings settings;
    for (const std::u16string_view body : {
             u"@GNSS,GET,GPS.ELE_MASK,OK",     // no value: field 3 carries the checksum
             u"@GNSS,SET,GPS.ELE_MASK,10,OK",  // acknowledgement repeating a SET value
             u"@GNSS,GET,GPS.ELE_MASK,ok,10",  //
             u"@GNSS,GET,GPS.ELE_MASK,OK ,10", //
             u"@GNSS,GET,,OK,10",              // empty key
             u"@GNSS,GET",                     // no key
             u"@GNSS,GET,gps.ele_mask,OK,10",  // keys match in their own case only
             u"@GNSS,GET,GPS.ELE_MASK ,OK,10", //
             u"@GNSS,GET,GPS.ELE_MAS,OK,10",   //
             u"@GNSS,GET,GPS.ELE_MASKS,OK,10", //
         }) {
        EXPECT_EQ(settings.DispatchReplyLine(WithReplyChecksum(body)), 0);
    }
    EXPECT_EQ(settings, ReceiverSettings{});
}

TEST(ReplyLine, EveryDecoderRefusesALineWithoutValue) {
    for (const ReplyKey& entry : ReplyKeys()) {
        const std::string name(entry.key.begin(), entry.key.end());
        ReceiverSettings settings;
        settings.info.sensorPresent = 1;
        const bool decoded = entry.decode(settings, test::ValuelessLine(entry.key));
        if (entry.key.starts_with(u"DEVICE.AVAILABLE_")) {
            EXPECT_TRUE(decoded) << name;
            continue;
        }
        EXPECT_FALSE(decoded) << name;
        ReceiverSettings expected;
        expected.info.sensorPresent = entry.key == u"SENSOR.INFO.MODEL" ? 0 : 1;
        EXPECT_EQ(settings, expected) << name;
    }
}

TEST(ReplyLine, AvailableListsAreAcknowledgedAndNotKept) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"DEVICE.AVAILABLE_DATALINK", u"UHF|NETWORK")), 22);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"DEVICE.AVAILABLE_LANGUAGE", u"CHINESE")), 23);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"DEVICE.AVAILABLE_SYSMODE", u"")), 24);
    EXPECT_EQ(settings, ReceiverSettings{});
}

TEST(ReplyLine, SharedCodesNameTwoKeys) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"DEVICE.ANT_MEASURE", u"2|1500")), 106);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"RADIO.CHANNEL_RX", u"3")), 106);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"GPS.GPS", u"ENABLE")), 107);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"RADIO.FREQUENCY_RX", u"455.5")), 107);
    EXPECT_EQ(settings.config.antennaMeasureMethod, 2);
    EXPECT_EQ(settings.config.datalink.radio[1].rxChannel, 3);
    EXPECT_EQ(settings.config.gpsEnabled, 1);
    EXPECT_DOUBLE_EQ(settings.config.datalink.radio[1].rxFrequency[0], 455.5);
}

TEST(NetworkErrorCode, NoErrorClearsTheTextAndReportsMinusOne) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"420")), kReplyNetworkError);
    EXPECT_EQ(settings.config.datalink.network[0].errorText, u"Ntrip用户名或密码错误");
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"0400")),
              kReplyNetworkErrorCleared);
    EXPECT_TRUE(settings.config.datalink.network[0].errorText.empty());
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"0400") + u'\r'),
              kReplyNetworkErrorCleared);
}

TEST(NetworkErrorCode, AnyOtherSpellingIsAnError) {
    ReceiverSettings settings;
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"400")), kReplyNetworkError);
    EXPECT_EQ(settings.config.datalink.network[0].errorText, u"网络正常");
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"0400 ")),
              kReplyNetworkError);
    EXPECT_EQ(settings.DispatchReplyLine(Reply(u"NETWORK.ERRORCODE", u"439")), kReplyNetworkError);
    EXPECT_TRUE(settings.config.datalink.network[0].errorText.empty());
}

TEST(WorkingMode, LastOfDeviceModelAndSysModeDecides) {
    ReceiverSettings settings;
    settings.DispatchReplyLine(Reply(u"DEVICE.INFO.MODEL", u"ROVER"));
    EXPECT_EQ(settings.config.workingMode, kWorkingModeRadioRelay);
    settings.DispatchReplyLine(Reply(u"DEVICE.SYS_MODE", u"NETBASE"));
    EXPECT_EQ(settings.config.workingMode, kWorkingModeBaseNetwork);

    ReceiverSettings other;
    other.DispatchReplyLine(Reply(u"DEVICE.INFO.MODEL", u"ROVER"));
    other.DispatchReplyLine(Reply(u"DEVICE.SYS_MODE", u"STATIC"));
    EXPECT_EQ(other.config.workingMode, kWorkingModeRadioRelay);
    EXPECT_EQ(other.info.sysModeText, u"STATIC");
    other.DispatchReplyLine(Reply(u"DEVICE.INFO.MODEL", u"BASE"));
    EXPECT_EQ(other.config.workingMode, kWorkingModeNetworkRelay);
    other.DispatchReplyLine(Reply(u"DEVICE.INFO.MODEL", u"rover"));
    EXPECT_EQ(other.config.workingMode, kWorkingModeRadio);
    EXPECT_EQ(other.info.device.model, u"rover");
}

TEST(StoreComReply, KeepsTheBaudTextOfTheAcknowledgement) {
    ReceiverSettings settings;
    EXPECT_TRUE(settings.StoreComReply(u"@GNSS,COM,115200,OK"));
    EXPECT_EQ(settings.info.fivePinBaudText, u"115200");
    const std::u16string withChecksum = WithReplyChecksum(u"@GNSS,COM,9600,OK");
    EXPECT_TRUE(settings.StoreComReply(withChecksum));
    EXPECT_EQ(settings.info.fivePinBaudText, u"9600");
    EXPECT_EQ(settings.DispatchReplyLine(withChecksum), 0) << "COM is not a key";
    EXPECT_TRUE(settings.StoreComReply(u"@GNSS,COM,38400*5C"));
    EXPECT_EQ(settings.info.fivePinBaudText, u"38400");
}

TEST(StoreComReply, RefusesALineWithoutBaudField) {
    ReceiverSettings settings;
    settings.info.fivePinBaudText = u"19200";
    EXPECT_FALSE(settings.StoreComReply(u"@GNSS,COM"));
    EXPECT_EQ(settings.info.fivePinBaudText, u"19200");
}

} // namespace
} // namespace quorlex
