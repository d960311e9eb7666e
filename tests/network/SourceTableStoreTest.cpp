#include "network/SourceTableStore.h"

#include "SampleTables.h"

#include <gtest/gtest.h>

#include <random>

using namespace quorlex;
using quorlex::testing::LargeTable;
using quorlex::testing::SmallTable;
using quorlex::testing::StrLine;

namespace {

std::vector<std::u16string> MountPointsOf(const SourceTableStore& store) {
    std::vector<std::u16string> names;
    for (const StrRecord& r : store.StrList()) {
        names.push_back(r.mountPoint);
    }
    return names;
}

void ExpectSameOutcome(const SourceTableStore& expected, const SourceTableStore& actual) {
    EXPECT_EQ(expected.CasList(), actual.CasList());
    EXPECT_EQ(expected.StrList(), actual.StrList());
    EXPECT_EQ(expected.NetList(), actual.NetList());
    EXPECT_EQ(expected.TableText(), actual.TableText());
    EXPECT_EQ(expected.State(), actual.State());
}

SourceTableStore StoreWithoutCache() {
    return SourceTableStore(std::filesystem::path());
}

std::u16string NameLine(std::u16string_view name) {
    return u"@GNSS,GET,NETWORK.MOUNTPOINTLI,OK," + std::u16string(name) + u"*3A\r\n";
}

} // namespace

TEST(SourceTableParse, SmallTableGivesItsRecordsAndRawText) {
    SourceTableStore store = StoreWithoutCache();
    EXPECT_TRUE(store.FeedSourceTable(SmallTable()));
    EXPECT_EQ(store.State(), SourceTableState::Complete);
    EXPECT_EQ(store.TableText(), SmallTable());
    ASSERT_EQ(store.CasList().size(), 1u);
    EXPECT_EQ(store.CasList()[0].host, u"caster.example.net");
    ASSERT_EQ(store.NetList().size(), 1u);
    EXPECT_EQ(store.NetList()[0].authentication, u"Basic");
    EXPECT_EQ(MountPointsOf(store), (std::vector<std::u16string>{u"RTCM3_GNSS", u"VRS32"}));
    EXPECT_EQ(store.StrList()[1].identifier, u"基站网络");
    EXPECT_EQ(store.StrList()[1].misc, u"上海");
}

TEST(SourceTableParse, LinesOutsideTheTableAreIgnoredUntilTheNextStart) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"Server: caster\r\nSTR;EARLY;x;y\r\n");
    EXPECT_EQ(store.State(), SourceTableState::Idle);
    EXPECT_TRUE(store.StrList().empty());
    EXPECT_TRUE(store.TableText().empty());

    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;A;x\r\nENDSOURCETABLE\r\n");
    store.FeedSourceTable(u"STR;LATE;x\r\n");
    EXPECT_EQ(MountPointsOf(store), std::vector<std::u16string>{u"A"});
    EXPECT_EQ(store.TableText(), u"SOURCETABLE 200 OK\r\nSTR;A;x\r\nENDSOURCETABLE\r\n");

    // A new start replaces the raw text and adds to the records.
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;B;x\r\n");
    EXPECT_EQ(store.State(), SourceTableState::Receiving);
    EXPECT_EQ(MountPointsOf(store), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(store.TableText(), u"SOURCETABLE 200 OK\r\nSTR;B;x\r\n");
}

// An NTRIP 2.0 head stays in the text, but even a header line holding a tag is
// no record: only the lines after the empty one are.
TEST(SourceTableParse, HttpStatusStartsATableWhoseHeadHoldsNoRecords) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"HTTP/1.0 200 OK\nServer: STR;HEAD;x\n\nSTR;A;x\nENDSOURCETABLE\n");
    EXPECT_EQ(store.State(), SourceTableState::Complete);
    EXPECT_EQ(MountPointsOf(store), std::vector<std::u16string>{u"A"});
    EXPECT_EQ(store.TableText(),
              u"HTTP/1.0 200 OK\r\nServer: STR;HEAD;x\r\n\r\nSTR;A;x\r\nENDSOURCETABLE\r\n");
}

// The kinds of refusal through the whole intake are with the frame's tests.
TEST(SourceTableParse, AnyFinalStatusButOkRefusesAndIsNamedShortly) {
    const std::u16string longReason(60, u'x');
    const std::u16string longLine = u"HTTP/1.1 500 " + longReason;
    const struct {
        std::u16string_view line;
        std::u16string shown; // empty: no refusal
    } rows[] = {
        {u"SOURCETABLE 401", u"获取源列表失败：401"},
        {u"HTTP/1.1 302 Found", u"获取源列表失败：302 Found"},
        {longLine, u"获取源列表失败：500 " + longReason.substr(0, 36)},
        {u"ICY 200 OK", u""},
        {u"HTTP/1.1 100 Continue", u""},
        {u"HTTP/2 401", u""},
        {u"@GNSS,ERROR,401", u""},
    };
    for (const auto& row : rows) {
        SourceTableStore store = StoreWithoutCache();
        store.FeedSourceTable(std::u16string(row.line) + u"\r\n");
        EXPECT_EQ(store.IsRefused() ? store.StatusText() : u"", row.shown);
    }
    // Inside a table such a line is the table's.
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nHTTP/1.1 401 x\r\n");
    EXPECT_EQ(store.State(), SourceTableState::Receiving);
}

TEST(SourceTableParse, TheEndLineDropsTheRestOfItsChunk) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nENDSOURCETABLE\r\nSOURCETABLE 200 OK\r\n"
                          u"STR;LOST;x\r\n");
    EXPECT_EQ(store.State(), SourceTableState::Complete);
    EXPECT_TRUE(store.StrList().empty());
}

TEST(SourceTableParse, RefusedRecordsStayInTheRawText) {
    SourceTableStore store = StoreWithoutCache();
    const std::u16string text = u"SOURCETABLE 200 OK\r\n"
                                u"STR;;NoName;RTCM\r\n"
                                u"CAS;host;;id\r\n"
                                u"NET;;op\r\n"
                                u"ENDSOURCETABLE\r\n";
    store.FeedSourceTable(text);
    EXPECT_TRUE(store.StrList().empty());
    EXPECT_TRUE(store.CasList().empty());
    EXPECT_TRUE(store.NetList().empty());
    EXPECT_EQ(store.TableText(), text);
}

TEST(SourceTableParse, RecordKindFollowsTheTagTheLineStartsWith) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\n"
                          u"STR;MP;Id;RTCM;;2;GPS;;;;;;;;;;;;see CAS;NET; list\r\n"
                          u"  STR;PADDED;Id\r\n"
                          u"NET;EXA;op;B;N;;;;ENDSOURCETABLE\r\n");
    ASSERT_EQ(store.StrList().size(), 2u);
    EXPECT_EQ(store.StrList()[0].mountPoint, u"MP");
    // A tag further in still counts; fields are counted from the line's start.
    EXPECT_EQ(store.StrList()[1].mountPoint, u"PADDED");
    EXPECT_TRUE(store.CasList().empty());
    EXPECT_EQ(store.NetList().size(), 1u);
    EXPECT_EQ(store.State(), SourceTableState::Receiving);
}

TEST(SourceTableParse, QuirkyCasterTablesKeepTheirWellFormedRecords) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(
        u"HTTP/1.1 200 OK\r\n"
        u"Ntrip-Version: Ntrip/2.0\r\n"
        u"Content-Type: gnss/sourcetable\r\n"
        u"\r\n"
        u"SOURCETABLE 200 OK\r\n"
        u"CAS;rtk.example.org;80,2101;EXA;Ops;0;DEU;50;8\r\n"
        u"STR;SHORT;Site;RTCM 3\r\n"
        u"STR;QUOTED;Site;RTCM 3;1004;2;GPS;NET;DEU;50;8;1;0;gen;none;B;N;9600;"
        u"\"x;y\"\r\n"
        u"STR;FULL;Site;RTCM 3;1004;1;GPS;NET;DEU;50;8;0;1;gen;none;N;N;9600;m\r\n");
    EXPECT_EQ(store.State(), SourceTableState::Receiving); // cut off: no end line
    ASSERT_EQ(store.CasList().size(), 1u);
    EXPECT_EQ(store.CasList()[0].port, u"80,2101");
    EXPECT_EQ(store.CasList()[0].misc, u"");
    EXPECT_EQ(MountPointsOf(store), (std::vector<std::u16string>{u"SHORT", u"QUOTED", u"FULL"}));
    const StrRecord& full = store.StrList()[2];
    EXPECT_EQ(full.carrier, u"RTK(L1)");
    EXPECT_EQ(full.solution, u"Network");
    EXPECT_EQ(full.authentication, u"None");
    EXPECT_EQ(full.misc, u"m");
    EXPECT_EQ(store.StrList()[1].misc, u"\"x");
}

TEST(SourceTableChunks, EverySplitPositionGivesTheSameOutcome) {
    const std::u16string text = u"junk before\r\n" + SmallTable() + u"STR;AFTER;x\r\n";
    SourceTableStore whole = StoreWithoutCache();
    whole.FeedSourceTable(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        SourceTableStore split = StoreWithoutCache();
        split.FeedSourceTable(text.substr(0, cut));
        split.FeedSourceTable(text.substr(cut));
        SCOPED_TRACE(cut);
        ExpectSameOutcome(whole, split);
    }
}

TEST(SourceTableChunks, RandomChunkSizesGiveTheSameOutcome) {
    const std::u16string text = LargeTable(200);
    SourceTableStore whole = StoreWithoutCache();
    whole.FeedSourceTable(text);
    ASSERT_EQ(whole.StrList().size(), 200u);
    std::mt19937 random(12345);
    for (int round = 0; round < 50; ++round) {
        std::uniform_int_distribution<size_t> size(1, 1 + static_cast<size_t>(round) * 40);
        SourceTableStore split = StoreWithoutCache();
        for (size_t at = 0; at < text.size();) {
            const size_t n = size(random);
            split.FeedSourceTable(std::u16string_view(text).substr(at, n));
            at += n;
        }
        SCOPED_TRACE(round);
        ExpectSameOutcome(whole, split);
    }
}

TEST(SourceTableChunks, LinesEndedByLineFeedOrCarriageReturnAlone) {
    SourceTableStore lf = StoreWithoutCache();
    lf.FeedSourceTable(u"SOURCETABLE 200 OK\nSTR;A;x\nSTR;B;x\nENDSOURCETABLE\n");
    EXPECT_EQ(MountPointsOf(lf), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(lf.State(), SourceTableState::Complete);

    SourceTableStore cr = StoreWithoutCache();
    cr.FeedSourceTable(u"SOURCETABLE 200 OK\rSTR;A;x\r");
    cr.FeedSourceTable(u"STR;B;x\rENDSOURCETABLE\r");
    EXPECT_EQ(MountPointsOf(cr), (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_EQ(cr.State(), SourceTableState::Complete);
    EXPECT_EQ(cr.TableText(), u"SOURCETABLE 200 OK\r\nSTR;A;x\r\nSTR;B;x\r\nENDSOURCETABLE\r\n");

    // A line feed further on takes precedence: the text before it is one line,
    // cut at its first carriage return.
    SourceTableStore mixed = StoreWithoutCache();
    mixed.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;A;x\rSTR;B;x\r\nSTR;C;x\r\n");
    EXPECT_EQ(MountPointsOf(mixed), (std::vector<std::u16string>{u"A", u"C"}));
}

TEST(SourceTableChunks, AtMostAThousandLinesAreTakenPerCall) {
    SourceTableStore store = StoreWithoutCache();
    std::u16string text = u"SOURCETABLE 200 OK\r\n";
    for (int i = 0; i < 1000; ++i) {
        text += u"STR;M" + FormatInt(i) + u"\r\n";
    }
    store.FeedSourceTable(text);
    // The start line was one of the thousand: one record still waits.
    EXPECT_EQ(store.StrList().size(), 999u);
    store.FeedSourceTable(u"");
    EXPECT_EQ(store.StrList().size(), 1000u);
}

TEST(SourceTableChunks, MoreThan2000WaitingCharactersAreDropped) {
    std::u16string text = u"SOURCETABLE 200 OK\r\n";
    for (int i = 0; i < 1400; ++i) {
        text += u"STR;M" + FormatInt(i) + u"\r\n";
    }
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(text);
    store.FeedSourceTable(u"STR;NEXT;x\r\n");
    ASSERT_EQ(store.StrList().size(), 1000u);
    EXPECT_EQ(store.StrList().back().mountPoint, u"NEXT");

    // An unfinished line of exactly 2000 characters survives; one more does not.
    SourceTableStore edge = StoreWithoutCache();
    edge.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;" + std::u16string(1996, u'k'));
    edge.FeedSourceTable(u"\r\n");
    ASSERT_EQ(edge.StrList().size(), 1u);
    EXPECT_EQ(edge.StrList()[0].mountPoint, std::u16string(1996, u'k'));
    edge.FeedSourceTable(u"STR;" + std::u16string(1997, u'k'));
    edge.FeedSourceTable(u";tail\r\n");
    EXPECT_EQ(edge.StrList().size(), 1u);
}

TEST(SourceTableStatus, TextFollowsTheStateAndTheTimeOutComesOnTick61) {
    SourceTableStore store = StoreWithoutCache();
    EXPECT_EQ(store.StatusText(), u"");
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;A;x\r\n");
    EXPECT_EQ(store.StatusText(), u"获取源列表...");
    for (int tick = 1; tick <= 60; ++tick) {
        store.TickTimeout();
    }
    EXPECT_FALSE(store.IsTimedOut());
    EXPECT_EQ(store.Ticks(), 60);
    store.TickTimeout();
    EXPECT_TRUE(store.IsTimedOut());
    EXPECT_EQ(store.StatusText(), u"获取源列表超时！");
    // Later text is no longer a table.
    store.FeedSourceTable(u"STR;LATE;x\r\nENDSOURCETABLE\r\n");
    EXPECT_TRUE(store.IsTimedOut());
    EXPECT_EQ(store.StrList().size(), 1u);

    store.Reset();
    EXPECT_EQ(store.Ticks(), 0);
    EXPECT_EQ(store.State(), SourceTableState::Idle);
    EXPECT_TRUE(store.StrList().empty());
    EXPECT_TRUE(store.TableText().empty());
    store.FeedSourceTable(SmallTable());
    EXPECT_TRUE(store.IsComplete());
    EXPECT_EQ(store.StatusText(), u"获取源列表完毕！");
}

TEST(SourceTableStatus, ResetForgetsAnUnfinishedLine) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;HALF");
    store.Reset();
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;NEW;x\r\n");
    EXPECT_EQ(MountPointsOf(store), std::vector<std::u16string>{u"NEW"});
}

TEST(MountPointList, NamesBetweenStartAndEndWithoutChecksums) {
    SourceTableStore store = StoreWithoutCache();
    store.FeedMountPointList(NameLine(u"BEFORE"));
    EXPECT_EQ(store.ListPhase(), MountListPhase::NotStarted);
    store.FeedMountPointList(u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START*11\r\n" +
                             NameLine(u"RTCM32") + u"@GNSS,GET,NETWORK.MOUNTPOINTLI,OK,*00\r\n" +
                             u"@GNSS,GET,NETWORK.MOUNTPOINTLI,OK\r\n" +
                             u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,OK,NOTANAME\r\n");
    EXPECT_EQ(store.ListPhase(), MountListPhase::Inside);
    store.FeedMountPointList(NameLine(u"VRS") + u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,END*22\r\n" +
                             NameLine(u"AFTER"));
    EXPECT_EQ(store.ListPhase(), MountListPhase::Ended);
    EXPECT_EQ(store.MountPoints(), (std::vector<std::u16string>{u"RTCM32", u"", u"VRS"}));
    store.FeedMountPointList(NameLine(u"LATER"));
    EXPECT_EQ(store.MountPoints().size(), 3u);
}

TEST(MountPointList, OnlyANewStartEmptiesTheNames) {
    SourceTableStore store = StoreWithoutCache();
    const std::u16string start = u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START\r\n";
    store.FeedMountPointList(start + NameLine(u"A"));
    store.Reset();
    EXPECT_EQ(store.MountPoints(), std::vector<std::u16string>{u"A"});
    store.FeedMountPointList(start + NameLine(u"B"));
    EXPECT_EQ(store.MountPoints(), std::vector<std::u16string>{u"B"});
}

TEST(MountPointList, NameLinesSplitAcrossChunks) {
    const std::u16string text = u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START\r\n" + NameLine(u"ONE") +
                                NameLine(u"TWO") + u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,END\r\n";
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        SourceTableStore store = StoreWithoutCache();
        store.FeedMountPointList(text.substr(0, cut));
        store.FeedMountPointList(text.substr(cut));
        SCOPED_TRACE(cut);
        EXPECT_EQ(store.MountPoints(), (std::vector<std::u16string>{u"ONE", u"TWO"}));
        EXPECT_EQ(store.ListPhase(), MountListPhase::Ended);
    }
}

TEST(MountPointList, TableAndListParsersKeepSeparateUnfinishedLines) {
    SourceTableStore store = StoreWithoutCache();
    const std::u16string first =
        u"@GNSS,GET,NETWORK.MOUNTPOINTLIST,START\r\nSOURCETABLE 200 OK\r\nST";
    const std::u16string second = u"R;MP;x\r\n" + NameLine(u"MP");
    for (const std::u16string& chunk : {first, second}) {
        store.FeedMountPointList(chunk);
        store.FeedSourceTable(chunk);
    }
    EXPECT_EQ(MountPointsOf(store), std::vector<std::u16string>{u"MP"});
    EXPECT_EQ(store.MountPoints(), std::vector<std::u16string>{u"MP"});
}
