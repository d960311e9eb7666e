#include "startup/CommandLine.h"
#include "startup/VersionText.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace quorlex {
namespace {

TEST(VersionTextTest, BuildDateBecomesYearMonthDay) {
    EXPECT_EQ(VersionTextFromDate("May 12 2017"), u"170512");
    // The compiler pads a single-digit day with a blank.
    EXPECT_EQ(VersionTextFromDate("May  2 2017"), u"170502");
    EXPECT_EQ(VersionTextFromDate("Dec 31 1999"), u"991231");
    EXPECT_EQ(VersionTextFromDate("Jan  1 2024"), u"240101");
    EXPECT_EQ(VersionTextFromDate("May 1 2017"), u""); // 10 characters: too short
    EXPECT_EQ(VersionTextFromDate(""), u"");
    EXPECT_EQ(VersionText().size(), 6u);
}

TEST(VersionTextTest, EveryMonthIsToldFromItsLetters) {
    const std::pair<const char*, const char16_t*> months[] = {
        {"Jan 15 2020", u"200115"}, {"Feb 15 2020", u"200215"}, {"Mar 15 2020", u"200315"},
        {"Apr 15 2020", u"200415"}, {"May 15 2020", u"200515"}, {"Jun 15 2020", u"200615"},
        {"Jul 15 2020", u"200715"}, {"Aug 15 2020", u"200815"}, {"Sep 15 2020", u"200915"},
        {"Oct 15 2020", u"201015"}, {"Nov 15 2020", u"201115"}, {"Dec 15 2020", u"201215"},
    };
    for (const auto& [date, expected] : months) {
        EXPECT_EQ(VersionTextFromDate(date), expected) << date;
    }
}

TEST(CommandLineTest, SeparatesTheProgramsOptionsFromTheRest) {
    const std::vector<std::string_view> args = {"quorlex", "--simulate", "-platform", "offscreen",
                                                "--version"};
    const CommandLine line = ParseCommandLine(args);
    EXPECT_TRUE(line.simulate);
    EXPECT_TRUE(line.version);
    EXPECT_FALSE(line.help);
    EXPECT_EQ(line.others, (std::vector<std::string>{"-platform", "offscreen"}));

    const std::vector<std::string_view> help = {"quorlex", "-h"};
    EXPECT_TRUE(ParseCommandLine(help).help);
    const std::vector<std::string_view> none = {"quorlex"};
    EXPECT_FALSE(ParseCommandLine(none).simulate);
    const std::vector<std::string_view> bare = {"quorlex", "--simulate", "--no-adapter"};
    EXPECT_TRUE(ParseCommandLine(bare).noAdapter);
    EXPECT_FALSE(ParseCommandLine(args).noAdapter);

    const struct {
        std::vector<std::string_view> args;
        std::string wireLog;
        std::string missing;
    } logs[] = {
        {{"quorlex", "--wire-log", "wire.log", "--simulate"}, "wire.log", ""},
        {{"quorlex", "--wire-log=/tmp/a b.log"}, "/tmp/a b.log", ""},
        {{"quorlex", "--wire-log"}, "", "--wire-log"},
        {{"quorlex", "--wire-log="}, "", "--wire-log"},
    };
    for (const auto& c : logs) {
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.wireLog, c.wireLog) << c.args[1];
        EXPECT_EQ(parsed.missingValue, c.missing) << c.args[1];
        EXPECT_TRUE(parsed.others.empty());
    }
}

} // namespace
} // namespace quorlex
