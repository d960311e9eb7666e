#include "common/Numbers.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

using namespace quorlex;

TEST(ParseInteger, ReadsAsFarAsTheDigitsGo) {
    EXPECT_EQ(ParseInteger(u"  -42abc"), -42);
    EXPECT_EQ(ParseInteger(u"+7"), 7);
    EXPECT_EQ(ParseInteger(u"1500.9"), 1500);
    EXPECT_EQ(ParseInteger(u"abc"), 0);
    EXPECT_EQ(ParseInteger(u""), 0);
    EXPECT_EQ(ParseInteger(u"- 5"), 0);
    EXPECT_EQ(ParseInteger(u"5HZ"), 5);
}

TEST(ParseInteger, ClampsToThe32BitRange) {
    EXPECT_EQ(ParseInteger(u"2147483647"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseInteger(u"2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseInteger(u"-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ParseInteger(u"-99999999999999999999999"), std::numeric_limits<int32_t>::min());
}

TEST(ParseDecimal, ReadsAsFarAsTheDigitsGo) {
    EXPECT_DOUBLE_EQ(ParseDecimal(u"410.050"), 410.05);
    EXPECT_DOUBLE_EQ(ParseDecimal(u" -3.5|x"), -3.5);
    EXPECT_DOUBLE_EQ(ParseDecimal(u"12.5e"), 12.5);
    EXPECT_DOUBLE_EQ(ParseDecimal(u"1e3m"), 1000.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseDecimal(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(u"-"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal(u"3..2"), 3.0);
}

TEST(Numbers, IgnoreTheProcessLocale) {
    // A comma-decimal locale must not change what goes on the wire.
    const char* applied = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(FormatFixed(410.05), u"410.050");
    EXPECT_DOUBLE_EQ(ParseDecimal(u"410.050"), 410.05);
    if (applied != nullptr) {
        std::setlocale(LC_ALL, "C");
    }
}

TEST(FormatNumbers, MatchPrintf) {
    EXPECT_EQ(FormatInt(-2147483648LL), u"-2147483648");
    EXPECT_EQ(FormatFixed(410.0495), u"410.050");
    EXPECT_EQ(FormatFixed(0.0), u"0.000");
    EXPECT_EQ(FormatFixed(-1.2345, 2), u"-1.23");
}
