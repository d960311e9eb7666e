#include "network/SourceTableRecords.h"

#include <gtest/gtest.h>

using namespace quorlex;

namespace {

// A STR line with the given carrier, nmea, solution, authentication and fee fields.
std::u16string StrWith(std::u16string_view carrier, std::u16string_view nmea,
                       std::u16string_view solution, std::u16string_view auth,
                       std::u16string_view fee) {
    std::u16string line = u"STR;MP1;Id;RTCM 3;1004(1);";
    line += carrier;
    line += u";GPS;NET;DEU;50.0;8.0;";
    line += nmea;
    line += u";";
    line += solution;
    line += u";gen;none;";
    line += auth;
    line += u";";
    line += fee;
    line += u";9600;misc";
    return line;
}

} // namespace

TEST(StrRecordParse, TakesEveryFieldInOrder) {
    const auto record =
        ParseStrRecord(u"STR;MP;Ident;Fmt;Det;0;Nav;Net;CHN;31.2;121.4;1;1;Gen;Comp;N;Y;4800;杂项");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->mountPoint, u"MP");
    EXPECT_EQ(record->identifier, u"Ident");
    EXPECT_EQ(record->format, u"Fmt");
    EXPECT_EQ(record->formatDetails, u"Det");
    EXPECT_EQ(record->navSystem, u"Nav");
    EXPECT_EQ(record->network, u"Net");
    EXPECT_EQ(record->country, u"CHN");
    EXPECT_EQ(record->latitude, u"31.2");
    EXPECT_EQ(record->longitude, u"121.4");
    EXPECT_EQ(record->generator, u"Gen");
    EXPECT_EQ(record->compression, u"Comp");
    EXPECT_EQ(record->bitrate, u"4800");
    EXPECT_EQ(record->misc, u"杂项");
}

TEST(StrRecordParse, CarrierCodesBecomeWords) {
    EXPECT_EQ(ParseStrRecord(StrWith(u"0", u"0", u"0", u"N", u"N"))->carrier, u"DGPS");
    EXPECT_EQ(ParseStrRecord(StrWith(u"1", u"0", u"0", u"N", u"N"))->carrier, u"RTK(L1)");
    EXPECT_EQ(ParseStrRecord(StrWith(u" 2 ", u"0", u"0", u"N", u"N"))->carrier, u"RTK(L1 & L2)");
    // No digits count as 0; another number stays as its stripped text.
    EXPECT_EQ(ParseStrRecord(StrWith(u"", u"0", u"0", u"N", u"N"))->carrier, u"DGPS");
    EXPECT_EQ(ParseStrRecord(StrWith(u" 3 ", u"0", u"0", u"N", u"N"))->carrier, u"3");
    EXPECT_EQ(ParseStrRecord(StrWith(u"2x", u"0", u"0", u"N", u"N"))->carrier, u"RTK(L1 & L2)");
    EXPECT_EQ(ParseStrRecord(StrWith(u"-1", u"0", u"0", u"N", u"N"))->carrier, u"-1");
}

TEST(StrRecordParse, NmeaSolutionAuthenticationAndFeeBecomeWords) {
    auto r = ParseStrRecord(StrWith(u"2", u"1", u"1", u"B", u"Y"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->nmea, u"Client Must Send NMEA-GGA:Yes");
    EXPECT_EQ(r->solution, u"Network");
    EXPECT_EQ(r->authentication, u"Basic");
    EXPECT_EQ(r->fee, u"Usage is charged");

    r = ParseStrRecord(StrWith(u"2", u"0", u"0", u" D\t", u" N "));
    EXPECT_EQ(r->nmea, u"Client Must Send NMEA-GGA:No");
    EXPECT_EQ(r->solution, u"Single Base");
    EXPECT_EQ(r->authentication, u"Digest");
    EXPECT_EQ(r->fee, u"No user fee");

    r = ParseStrRecord(StrWith(u"2", u" 7 ", u"2", u"n", u"y"));
    EXPECT_EQ(r->nmea, u"7");
    EXPECT_EQ(r->solution, u"2");
    EXPECT_EQ(r->authentication, u"n"); // letters match case-sensitively
    EXPECT_EQ(r->fee, u"y");

    r = ParseStrRecord(StrWith(u"2", u"", u"", u"", u" "));
    EXPECT_EQ(r->nmea, u"Client Must Send NMEA-GGA:No");
    EXPECT_EQ(r->solution, u"Single Base");
    EXPECT_EQ(r->authentication, u"");
    EXPECT_EQ(r->fee, u"");
}

TEST(StrRecordParse, FieldsThatAreNotRewrittenKeepTheirWhiteSpace) {
    const auto r = ParseStrRecord(u"STR; MP ; Id ;;;;;;; 50 ;;;;;;;; 9600 ; misc ");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->mountPoint, u" MP ");
    EXPECT_EQ(r->identifier, u" Id ");
    EXPECT_EQ(r->latitude, u" 50 ");
    EXPECT_EQ(r->bitrate, u" 9600 ");
    EXPECT_EQ(r->misc, u" misc ");
}

TEST(StrRecordParse, RefusesEmptyMountPointAndTooShortLines) {
    EXPECT_FALSE(ParseStrRecord(u"STR;;Id;RTCM;;2;GPS;;;;;;;;;;;;"));
    EXPECT_FALSE(ParseStrRecord(u"STR;"));
    EXPECT_FALSE(ParseStrRecord(u"STR"));
    EXPECT_FALSE(ParseStrRecord(u""));
    // A line must be longer than three characters.
    EXPECT_FALSE(ParseStrRecord(u"S;M"));
    const auto r = ParseStrRecord(u"S;MP");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->mountPoint, u"MP");
}

TEST(StrRecordParse, ShortLinesKeepWhatTheyHaveAndLeaveTheRestEmpty) {
    const auto r = ParseStrRecord(u"STR;SHORT;Site;RTCM 3;1004;2");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->mountPoint, u"SHORT");
    EXPECT_EQ(r->carrier, u"RTK(L1 & L2)");
    EXPECT_EQ(r->navSystem, u"");
    EXPECT_EQ(r->bitrate, u"");
    EXPECT_EQ(r->misc, u"");
    EXPECT_EQ(r->authentication, u"");
}

// A rewritten field the line never reaches stays empty; the same field present
// but empty still reads as code 0.
TEST(RecordParse, OnlyFieldsTheLineHoldsAreRewritten) {
    const struct {
        std::u16string_view line;
        std::u16string_view carrier, nmea, solution; // STR, or nmea alone for CAS
    } cases[] = {
        {u"STR;MP;Id;RTCM 3;1004", u"", u"", u""},
        {u"STR;MP;Id;RTCM 3;1004;", u"DGPS", u"", u""},
        {u"STR;MP;Id;RTCM 3;1004;1;GPS;NET;DEU;50;8", u"RTK(L1)", u"", u""},
        {u"STR;MP;Id;RTCM 3;1004;1;GPS;NET;DEU;50;8;", u"RTK(L1)", u"Client Must Send NMEA-GGA:No",
         u""},
        {u"STR;MP;Id;RTCM 3;1004;1;GPS;NET;DEU;50;8;1;", u"RTK(L1)",
         u"Client Must Send NMEA-GGA:Yes", u"Single Base"},
        {u"CAS;host;2101;id;op", u"", u"", u""},
        {u"CAS;host;2101;id;op;", u"", u"Client Must Send NMEA-GGA:No", u""},
    };
    for (const auto& c : cases) {
        const std::string label(c.line.begin(), c.line.end());
        if (c.line.starts_with(u"CAS")) {
            const auto cas = ParseCasRecord(c.line);
            ASSERT_TRUE(cas) << label;
            EXPECT_EQ(cas->nmea, c.nmea) << label;
            continue;
        }
        const auto str = ParseStrRecord(c.line);
        ASSERT_TRUE(str) << label;
        EXPECT_EQ(str->carrier, c.carrier) << label;
        EXPECT_EQ(str->nmea, c.nmea) << label;
        EXPECT_EQ(str->solution, c.solution) << label;
    }
}

TEST(StrRecordParse, SemicolonInsideMiscEndsTheMiscField) {
    const auto r = ParseStrRecord(
        u"STR;MP;Id;RTCM 3;1004;2;GPS;NET;DEU;50;8;1;0;gen;none;B;N;9600;\"a;b\";extra");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->misc, u"\"a");
    EXPECT_EQ(r->fee, u"No user fee");
    EXPECT_EQ(r->bitrate, u"9600");
}

TEST(CasRecordParse, NeedsHostAndPort) {
    EXPECT_FALSE(ParseCasRecord(u"CAS;host;;id;op;0;DEU;50;8;fb;80;misc"));
    EXPECT_FALSE(ParseCasRecord(u"CAS;;2101;id"));
    EXPECT_FALSE(ParseCasRecord(u"CAS;host"));
    const auto r = ParseCasRecord(u"CAS;host;80,2101;id;op; 1 ;DEU;50;8;fb;80;misc");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->host, u"host");
    EXPECT_EQ(r->port, u"80,2101");
    EXPECT_EQ(r->identifier, u"id");
    EXPECT_EQ(r->operatorName, u"op");
    EXPECT_EQ(r->nmea, u"Client Must Send NMEA-GGA:Yes");
    EXPECT_EQ(r->country, u"DEU");
    EXPECT_EQ(r->latitude, u"50");
    EXPECT_EQ(r->longitude, u"8");
    EXPECT_EQ(r->fallbackHost, u"fb");
    EXPECT_EQ(r->fallbackPort, u"80");
    EXPECT_EQ(r->misc, u"misc");
}

TEST(NetRecordParse, TakesFieldsAndRewritesAuthenticationAndFee) {
    EXPECT_FALSE(ParseNetRecord(u"NET;;op;B;N"));
    const auto r = ParseNetRecord(u"NET;EXA;Ops;D;Y;http://n;http://s;http://r;misc");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->identifier, u"EXA");
    EXPECT_EQ(r->operatorName, u"Ops");
    EXPECT_EQ(r->authentication, u"Digest");
    EXPECT_EQ(r->fee, u"Usage is charged");
    EXPECT_EQ(r->webNet, u"http://n");
    EXPECT_EQ(r->webStr, u"http://s");
    EXPECT_EQ(r->webReg, u"http://r");
    EXPECT_EQ(r->misc, u"misc");
}
