#include "channel/CommandChannel.h"
#include "tests/support/FakeCommandLink.h"
#include "tests/support/RecordingProgress.h"

#include <gtest/gtest.h>

using namespace quorlex;
using quorlex::testing::FakeLink;
using quorlex::testing::RecordingTarget;
using Note = RecordingTarget::Note;

namespace {

class CommandChannelTest : public ::testing::Test {
protected:
    void Feed(const std::string& text) { channel.MatchReplies(text.data(), text.size()); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            channel.OnTimerTick();
        }
    }

    FakeLink link;
    RecordingTarget target;
    CommandChannel channel{link};
    void SetUp() override { channel.SetProgressTarget(&target); }
};

const std::vector<std::string> kGetAllOnce = {"GET,ALL\r\n"};

} // namespace

TEST_F(CommandChannelTest, EmptyQueueStartsNothing) {
    EXPECT_FALSE(channel.StartBatch(u"读取配置"));
    EXPECT_FALSE(channel.IsActive());
    EXPECT_TRUE(link.sent.empty());
    EXPECT_TRUE(target.notes.empty());
}

TEST_F(CommandChannelTest, AcknowledgedItemReportsSuccessThenFinishesOnNextTick) {
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"读取配置"));
    ASSERT_TRUE(channel.StartBatch(u"读取配置"));
    Feed("@GNSS,GET,ALL,OK*12\r\n");
    channel.OnTimerTick();

    const std::vector<Note> expected = {
        {u"读取配置", 0, 9, 0},
        {u"读取配置...", -1, 9, 0},
        {u"读取配置成功!", -1, 9, 0},
        {u"指令发送完毕！", 9, 9, 0},
    };
    EXPECT_EQ(target.notes, expected);
    EXPECT_EQ(link.sent, kGetAllOnce);
    EXPECT_FALSE(channel.IsActive());
}

TEST_F(CommandChannelTest, UnansweredItemResendsThenTimesOutAsFailed) {
    channel.AddCommand(MakeCommandItem(u"COM,9600", u"设置波特率"));
    channel.StartBatch(u"开始发送指令");
    std::vector<size_t> sendsAfterTick;
    for (int tick = 1; tick <= 12; ++tick) {
        channel.OnTimerTick();
        sendsAfterTick.push_back(link.sent.size());
    }
    // Sent when current, then on ticks 3, 6 and 9.
    EXPECT_EQ(sendsAfterTick, (std::vector<size_t>{1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4}));
    ASSERT_GE(target.notes.size(), 3u);
    const Note timeout = target.notes[target.notes.size() - 2];
    EXPECT_EQ(timeout, (Note{u"设置波特率超时!", 9, 9, 1}));
    EXPECT_EQ(target.notes.back(), (Note{u"指令发送完毕！", 9, 9, 1}));
    EXPECT_FALSE(channel.IsActive());
}

TEST_F(CommandChannelTest, LastItemTimingOutIsNeverSeenAsSuccess) {
    channel.AddCommand(MakeCommandItem(u"SET,A,1", u"A"));
    channel.AddCommand(MakeCommandItem(u"SET,B,2", u"B"));
    channel.StartBatch(u"开始设置");
    Feed("@GNSS,SET,A,1,OK*00\n");
    Ticks(12);
    // Every notification where position reaches total must carry failed = 1.
    for (const Note& n : target.notes) {
        if (n.position == n.total) {
            EXPECT_EQ(n.failed, 1) << "status " << n.status.size();
        }
    }
    EXPECT_EQ(target.notes.back().status, u"指令发送完毕！");
}

TEST_F(CommandChannelTest, PositionOnlyReachesTotalWhenTheBatchEnds) {
    for (int i = 0; i < 3; ++i) {
        channel.AddCommand(MakeCommandItem(u"SET,K," + std::u16string(1, u'0' + i), u"K"));
    }
    channel.StartBatch(u"开始设置");
    Feed("@GNSS,SET,K,0,OK\n");
    Ticks(11); // second item times out
    Feed("@GNSS,SET,K,2,OK\n");
    ASSERT_TRUE(channel.IsActive());
    EXPECT_LT(channel.Progress().position, channel.Progress().total);
    Feed("stray line\n");
    EXPECT_FALSE(channel.IsActive());
    EXPECT_EQ(channel.Progress().position, 27);
    EXPECT_EQ(channel.Progress().failed, 0);
}

TEST_F(CommandChannelTest, OutOfRangeResendIntervalsCountAsThree) {
    for (int interval : {0, 1001, -5}) {
        FakeLink l;
        CommandChannel c(l);
        CommandItem item = MakeCommandItem(u"X", u"");
        item.resendEvery = interval;
        c.AddCommand(item);
        c.StartBatch(u"t");
        for (int i = 0; i < 9; ++i) {
            c.OnTimerTick();
        }
        EXPECT_EQ(l.sent.size(), 4u) << interval;
    }
}

TEST_F(CommandChannelTest, ResendEveryOneSendsOnEveryTickIncludingMinusOne) {
    CommandItem item = MakeCommandItem(u"X", u"");
    item.resendEvery = 1;
    item.budget = 3;
    channel.AddCommand(item);
    channel.StartBatch(u"t");
    Ticks(4); // remaining 2, 1, 0, -1
    EXPECT_EQ(link.sent.size(), 5u);
    channel.OnTimerTick(); // time-out
    EXPECT_EQ(link.sent.size(), 5u);
}

TEST_F(CommandChannelTest, NegativeRemainderDoesNotResendWithIntervalThree) {
    CommandItem item = MakeCommandItem(u"X", u"");
    item.budget = 1; // remaining 0 then -1: -1 % 3 == -1
    channel.AddCommand(item);
    channel.StartBatch(u"t");
    Ticks(2);
    EXPECT_EQ(link.sent.size(), 2u);
}

TEST_F(CommandChannelTest, ItemThatMetADownLinkGoesOutOnTheFirstTickThatFindsItUp) {
    link.connected = false;
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"读取配置"));
    channel.StartBatch(u"读取配置");
    Ticks(30);
    EXPECT_TRUE(link.sent.empty());
    EXPECT_TRUE(channel.IsActive());
    EXPECT_EQ(channel.Progress().position, -1);

    link.connected = true;
    std::vector<size_t> sendsAfterTick;
    for (int tick = 1; tick <= 12; ++tick) {
        channel.OnTimerTick();
        sendsAfterTick.push_back(link.sent.size());
    }
    // At once, then as the remaining count reaches 6, 3 and 0; the time-out still comes on tick 11.
    EXPECT_EQ(sendsAfterTick, (std::vector<size_t>{1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4}));
    ASSERT_GE(target.notes.size(), 2u);
    EXPECT_EQ(target.notes[target.notes.size() - 2], (Note{u"读取配置超时!", 9, 9, 1}));
    EXPECT_EQ(target.notes.back(), (Note{u"指令发送完毕！", 9, 9, 1}));
}

TEST_F(CommandChannelTest, ItemAlreadySentIsNotSentAgainWhenTheLinkReturns) {
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"读取配置"));
    channel.StartBatch(u"读取配置");
    ASSERT_EQ(link.sent.size(), 1u);
    link.connected = false;
    Ticks(5);
    link.connected = true;
    Ticks(2); // remaining 7: not a resend tick
    EXPECT_EQ(link.sent.size(), 1u);
    channel.OnTimerTick();
    EXPECT_EQ(link.sent.size(), 2u);
}

TEST_F(CommandChannelTest, BatchStartedOverALeftoverItemStartsAsFromIdle) {
    // A cancelled read: its dialog is gone, the item goes on running.
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"读取当前配置信息"));
    channel.StartBatch(u"读取配置");
    Ticks(3);
    // The next read, which the receiver never answers.
    channel.ClearCommands();
    channel.AddCommand(MakeCommandItem(u"GET,ALL,2", u"读取配置2"));
    target.notes.clear();
    channel.StartBatch(u"读取配置");
    EXPECT_EQ(channel.Progress().position, -1);
    Ticks(12);
    ASSERT_FALSE(target.notes.empty());
    EXPECT_EQ(target.notes.back(), (Note{u"指令发送完毕！", 9, 9, 1}));
    // The progress dialog closes as a success on position = total without failure.
    for (const Note& n : target.notes) {
        EXPECT_FALSE(n.position == n.total && n.failed == 0) << ::testing::PrintToString(n);
    }
}

TEST_F(CommandChannelTest, EmptyReplyIsMatchedByAnyNonEmptyLine) {
    CommandItem item = MakeCommandItem(u"X", u"d");
    item.reply.clear();
    channel.AddCommand(item);
    channel.StartBatch(u"t");
    Feed("\r\n");
    EXPECT_EQ(target.notes.back().status, u"d成功!");
}

TEST_F(CommandChannelTest, SplitReplyIsMatchedButCarriageReturnAloneWaits) {
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"r"));
    channel.StartBatch(u"t");
    Feed("@GNSS,GET,A");
    Feed("LL,OK*1A\r");
    EXPECT_EQ(target.notes.back().status, u"r...");
    Feed("\n");
    EXPECT_EQ(target.notes.back().status, u"r成功!");
}

TEST_F(CommandChannelTest, OnlyTheCurrentItemIsAcknowledged) {
    channel.AddCommand(MakeCommandItem(u"SET,A,1", u"A"));
    channel.AddCommand(MakeCommandItem(u"SET,B,2", u"B"));
    channel.StartBatch(u"t");
    Feed("@GNSS,SET,B,2,OK\n@GNSS,SET,A,1,ERROR\n");
    EXPECT_EQ(channel.Current().command, u"SET,A,1");
    Feed("@GNSS,SET,A,1,OK\n");
    EXPECT_EQ(channel.Current().command, u"SET,B,2");
}

TEST_F(CommandChannelTest, EmptyDescriptionProducesNoTextOfItsOwn) {
    channel.AddCommand(MakeCommandItem(u"SET,A,1", u""));
    channel.AddCommand(MakeCommandItem(u"SET,B,2", u""));
    channel.StartBatch(u"t");
    Feed("@GNSS,SET,A,1,OK\n");
    Ticks(12);
    std::vector<std::u16string> statuses;
    for (const Note& n : target.notes) {
        statuses.push_back(n.status);
    }
    EXPECT_EQ(statuses, (std::vector<std::u16string>{u"t", u"指令发送完毕！"}));
}

TEST_F(CommandChannelTest, TargetWithoutWindowReceivesNothingButTheBlockAdvances) {
    target.hasWindow = false;
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"r"));
    channel.StartBatch(u"读取配置");
    EXPECT_EQ(channel.Progress().status, u"r...");
    target.hasWindow = true;
    Feed("@GNSS,GET,ALL,OK\n");
    EXPECT_EQ(target.notes, (std::vector<Note>{{u"r成功!", -1, 9, 0}}));
}

TEST_F(CommandChannelTest, LinesAfterTheFinishingLineCannotAcknowledgeTheNextBatch) {
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"r"));
    channel.StartBatch(u"t");
    Feed("@GNSS,GET,ALL,OK\nnext\n@GNSS,COM,9600,OK\n");
    EXPECT_FALSE(channel.IsActive());
    channel.AddCommand(MakeCommandItem(u"COM,9600", u"c"));
    channel.StartBatch(u"t");
    Feed("noise\n");
    EXPECT_EQ(channel.Current().command, u"COM,9600");
}

TEST_F(CommandChannelTest, ChunksOutsideABatchAreNotBuffered) {
    Feed("@GNSS,GET,A");
    channel.AddCommand(MakeCommandItem(u"GET,ALL", u"r"));
    channel.StartBatch(u"t");
    Feed("LL,OK\n");
    EXPECT_EQ(channel.Current().command, u"GET,ALL");
}
