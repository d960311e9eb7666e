#include "model/LogList.h"
#include "model/ReceiverSettings.h"
#include "tests/model/ReplyLines.h"

#include <gtest/gtest.h>

namespace quorlex {
namespace {

using Rates = std::array<int32_t, kNmeaSentenceCount>;

class LogList : public ::testing::Test {
protected:
    void SetUp() override { settings.config.nmeaRates = {9, 9, 9, 9, 9, 9, 9, 9}; }

    int32_t Feed(std::u16string_view value) {
        return settings.DispatchReplyLine(test::Reply(u"DEVICE.LOGLIST", value));
    }

    ReceiverSettings settings;
    const Rates& rates = settings.config.nmeaRates;
};

TEST_F(LogList, NamedSentencesChangeAndOthersKeepTheirRate) {
    EXPECT_EQ(Feed(u"GGA:1|RMC:5"), 113);
    EXPECT_EQ(rates, (Rates{1, 9, 9, 9, 9, 9, 5, 9}));
    Feed(u"GLL:2|VTG:3|GST:4|GSV:6|GSA:7|ZDA:8");
    EXPECT_EQ(rates, (Rates{1, 8, 7, 6, 4, 3, 5, 2}));
}

TEST_F(LogList, ShortUnknownAndLowerCaseEntriesAreIgnored) {
    EXPECT_EQ(Feed(u"GGA:|RMC|gga:4|XYZ:5||GSV:12"), 113);
    EXPECT_EQ(rates, (Rates{9, 9, 9, 12, 9, 9, 9, 9}));
    Feed(u"GGA:x");
    EXPECT_EQ(rates[kNmeaGga], 0) << "a prefix with text but no digits reads as 0";
}

TEST_F(LogList, OnlyTheFirstEightEntriesCount) {
    Feed(u"GGA:1|GGA:2|GGA:3|GGA:4|GGA:5|GGA:6|GGA:7|ZDA:8|GSA:5");
    EXPECT_EQ(rates[kNmeaGga], 7) << "the later naming wins";
    EXPECT_EQ(rates[kNmeaZda], 8);
    EXPECT_EQ(rates[kNmeaGsa], 9);
}

TEST_F(LogList, LastEntryBeforeTheChecksumStillCounts) {
    EXPECT_TRUE(DecodeLogList(settings, u"@GNSS,GET,DEVICE.LOGLIST,OK,GGA:1|RMC:10*4B"));
    EXPECT_EQ(rates[kNmeaRmc], 10);
}

TEST_F(LogList, LineWithoutValueChangesNothing) {
    EXPECT_FALSE(DecodeLogList(settings, u"@GNSS,GET,DEVICE.LOGLIST,OK"));
    EXPECT_EQ(rates, (Rates{9, 9, 9, 9, 9, 9, 9, 9}));
}

} // namespace
} // namespace quorlex
