#include "channel/ReplyIntake.h"
#include "common/Text.h"
#include "model/ReceiverSettings.h"
#include "model/ReplyChecksum.h"
#include "tests/support/FakeCommandLink.h"
#include "tests/support/RecordingProgress.h"

#include <gtest/gtest.h>

using namespace quorlex;
using quorlex::testing::FakeLink;
using quorlex::testing::RecordingTarget;

namespace {

std::string Reply(std::u16string_view key, std::u16string_view value) {
    return ToUtf8(WithReplyChecksum(u"@GNSS,GET," + std::u16string(key) + u",OK," +
                                    std::u16string(value))) +
           "\r\n";
}

class ReplyIntakeTest : public ::testing::Test {
protected:
    void SetUp() override { channel.SetProgressTarget(&target); }
    bool Feed(const std::string& chunk) { return intake.OnReceive(chunk.data(), chunk.size()); }
    std::vector<std::u16string> Statuses() const {
        std::vector<std::u16string> out;
        for (const auto& n : target.notes) {
            out.push_back(n.status);
        }
        return out;
    }

    FakeLink link;
    RecordingTarget target;
    ReceiverSettings settings;
    CommandChannel channel{link};
    std::vector<std::chrono::milliseconds> pauses;
    ReplyIntake intake{settings, channel,
                       [this](std::chrono::milliseconds p) { pauses.push_back(p); }};
};

} // namespace

TEST_F(ReplyIntakeTest, LineSplitOverChunksIsDecodedOnceWhenItsEndArrives) {
    const std::string line = Reply(u"DEVICE.INFO.SERIAL", u"SN12345");
    EXPECT_FALSE(Feed(line.substr(0, 20)));
    EXPECT_EQ(settings.lineBuffer, FromUtf8(line.substr(0, 20)));
    EXPECT_TRUE(Feed(line.substr(20)));
    EXPECT_EQ(settings.info.device.serialNumber, u"SN12345");
    EXPECT_EQ(settings.receivedKeys, (std::vector<int32_t>{10}));
    EXPECT_TRUE(settings.lineBuffer.empty());
    EXPECT_EQ(pauses, (std::vector<std::chrono::milliseconds>(2, ReplyIntake::kPauseAfterChunk)));
}

TEST_F(ReplyIntakeTest, CarriageReturnThenLineFeedInNextChunkIsOneEmptyLine) {
    std::string line = Reply(u"BLUETOOTH.MODEL", u"BT-1");
    line.pop_back(); // keep the CR, the LF comes with the next chunk
    EXPECT_TRUE(Feed(line));
    EXPECT_FALSE(Feed("\n"));
    EXPECT_TRUE(settings.lineBuffer.empty());
    EXPECT_EQ(settings.info.bluetoothModel, u"BT-1");
}

TEST_F(ReplyIntakeTest, CarriageReturnsAloneStillCutLines) {
    std::string a = Reply(u"DEVICE.INFO.SERIAL", u"A1");
    std::string b = Reply(u"BLUETOOTH.MODEL", u"B1");
    a.pop_back();
    b.pop_back();
    EXPECT_TRUE(Feed(a + b));
    EXPECT_EQ(settings.receivedKeys, (std::vector<int32_t>{10, 103}));
}

TEST_F(ReplyIntakeTest, BurstBoundariesAreReportedInFixedOrder) {
    Feed(Reply(u"BLUETOOTH.MODEL", u"BT") + Reply(u"DEVICE.INFO.SERIAL", u"SN"));
    EXPECT_EQ(Statuses(), (std::vector<std::u16string>{u"读取仪器信息...", u"仪器信息读取完毕!"}));
}

TEST_F(ReplyIntakeTest, NetworkErrorNoneIsNotReportedButOthersAre) {
    Feed(Reply(u"NETWORK.ERRORCODE", u"0400"));
    EXPECT_TRUE(Statuses().empty());
    Feed(Reply(u"NETWORK.ERRORCODE", u"0401"));
    ASSERT_EQ(Statuses().size(), 1u);
    EXPECT_EQ(Statuses()[0].substr(0, 5), u"连接错误-");
    EXPECT_EQ(Statuses()[0].substr(5), settings.config.datalink.network[0].errorText);
    EXPECT_FALSE(settings.config.datalink.network[0].errorText.empty());
}

TEST_F(ReplyIntakeTest, ComLineKeepsTheBaudAndAcknowledgesTheCommand) {
    channel.AddCommand(MakeCommandItem(u"COM,115200", u"更改五芯口波特率"));
    channel.StartBatch(u"开始设置");
    Feed(ToUtf8(WithReplyChecksum(u"@GNSS,COM,115200,OK")) + "\r\n");
    EXPECT_EQ(settings.info.fivePinBaudText, u"115200");
    EXPECT_EQ(Statuses().back(), u"更改五芯口波特率成功!");
}

TEST_F(ReplyIntakeTest, AtMostTenThousandLinesPerChunk) {
    std::string chunk(ReplyIntake::kMaxLinesPerChunk, '\n');
    chunk += Reply(u"BLUETOOTH.MODEL", u"late");
    EXPECT_FALSE(Feed(chunk));
    EXPECT_TRUE(settings.info.bluetoothModel.empty());
    // The unread line is cut with the next chunk.
    EXPECT_TRUE(Feed(""));
    EXPECT_EQ(settings.info.bluetoothModel, u"late");
}

TEST_F(ReplyIntakeTest, PendingTextBeyondTheCapIsDropped) {
    Feed(std::string(ReplyIntake::kMaxPendingChars, 'x'));
    EXPECT_EQ(settings.lineBuffer.size(), ReplyIntake::kMaxPendingChars);
    Feed("y");
    EXPECT_TRUE(settings.lineBuffer.empty());
}

TEST_F(ReplyIntakeTest, ReceivedKeysHoldOnlyTheLatestChunk) {
    Feed(Reply(u"DEVICE.INFO.SERIAL", u"SN"));
    Feed("noise\r\n" + Reply(u"BLUETOOTH.MODEL", u"BT"));
    EXPECT_EQ(settings.receivedKeys, (std::vector<int32_t>{103}));
}

TEST_F(ReplyIntakeTest, TextEndsAtTheFirstZeroByte) {
    const std::string line = Reply(u"BLUETOOTH.MODEL", u"BT");
    Feed(std::string("\0", 1) + line);
    EXPECT_TRUE(settings.info.bluetoothModel.empty());
}
