#include "common/Text.h"

#include <gtest/gtest.h>

using namespace quorlex;

TEST(ExtractField, CountsEmptyFieldsAndReportsMissingOnes) {
    std::u16string field = u"stale";
    EXPECT_TRUE(ExtractField(u"@GNSS,GET,KEY,OK,,x", 4, u',', field));
    EXPECT_EQ(field, u"");
    EXPECT_TRUE(ExtractField(u"@GNSS,GET,KEY,OK,,x", 5, u',', field));
    EXPECT_EQ(field, u"x");
    field = u"stale";
    EXPECT_FALSE(ExtractField(u"@GNSS,GET,KEY,OK,,x", 6, u',', field));
    EXPECT_EQ(field, u"");
    EXPECT_TRUE(ExtractField(u"a|b|", 2, u'|', field));
    EXPECT_EQ(field, u"");
    EXPECT_TRUE(ExtractField(u"", 0, u',', field));
    EXPECT_FALSE(ExtractField(u"abc", -1, u',', field));
}

TEST(Utf8, RoundTripsChineseAndSupplementaryCharacters) {
    const std::u16string text = u"基站网络 \U0001F600 <&>";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"电台"), "\xE7\x94\xB5\xE5\x8F\xB0");
}

TEST(Utf8, InvalidBytesAndLoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(FromUtf8("a\xC3"), u"a\xFFFD");
    EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\xFFFD\xFFFD"); // overlong '/'
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\xFFFD\xFFFD\xFFFD");
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextHelpers, UpperCaseTouchesOnlyAscii) {
    EXPECT_EQ(ToUpperAscii(u"5hz 电台"), u"5HZ 电台");
    EXPECT_TRUE(Contains(u"RTCM32", u"RTCM3"));
    EXPECT_FALSE(Contains(u"rtcm", u"RTCM"));
}

TEST(TextHelpers, HexDigitsInEitherCase) {
    EXPECT_EQ(HexDigitValue(u'0'), 0);
    EXPECT_EQ(HexDigitValue(u'f'), 15);
    EXPECT_EQ(HexDigitValue(u'F'), 15);
    EXPECT_EQ(HexDigitValue(u'g'), -1);
    EXPECT_EQ(HexDigitValue(U'\uFF10'), -1); // fullwidth digit zero
}
