#include "common/CodePage.h"

#include <gtest/gtest.h>

using namespace quorlex;

TEST(CodePage936, DecodesChineseStatusTexts) {
    // "建立连接成功" in GBK.
    EXPECT_EQ(DecodeCp936("\xBD\xA8\xC1\xA2\xC1\xAC\xBD\xD3\xB3\xC9\xB9\xA6"), u"建立连接成功");
    EXPECT_EQ(EncodeCp936(u"建立连接成功"), "\xBD\xA8\xC1\xA2\xC1\xAC\xBD\xD3\xB3\xC9\xB9\xA6");
}

TEST(CodePage936, EndsAtTheFirstZeroByteOnlyWhenAsked) {
    const std::string bytes("AB\0CD", 5);
    EXPECT_EQ(DecodeCp936(bytes), u"AB");
    EXPECT_EQ(DecodeCp936(bytes, false), std::u16string(u"AB\0CD", 5));
}

TEST(CodePage936, UndecodableBytesBecomeReplacementCharacters) {
    EXPECT_EQ(DecodeCp936("a\xFF" "b"), u"a\xFFFD" "b");
    // A lead byte cut off at the end of a chunk.
    EXPECT_EQ(DecodeCp936("ok\xBD"), u"ok\xFFFD");
}

TEST(CodePage936, UnmappableCharactersAreMarkedLossy) {
    bool lossy = false;
    EXPECT_EQ(EncodeCp936(u"a\U0001F600b", &lossy), "a?b");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(EncodeCp936(u"GET,ALL", &lossy), "GET,ALL");
    EXPECT_FALSE(lossy);
}

TEST(Charsets, UnknownNamesAreRefusedWithoutTouchingTheOutput) {
    std::u16string text = u"kept";
    EXPECT_FALSE(DecodeCharset("abc", "NO-SUCH-CHARSET", text));
    EXPECT_EQ(text, u"kept");
    std::string bytes = "kept";
    size_t lost = 0;
    EXPECT_FALSE(EncodeCharset(u"abc", "NO-SUCH-CHARSET", bytes, lost));
    EXPECT_EQ(bytes, "kept");
}

TEST(Charsets, StatefulEncodingsEndInTheirInitialState) {
    // Without the final flush the text would be left in the kanji shift state.
    std::string bytes;
    size_t lost = 0;
    ASSERT_TRUE(EncodeCharset(u"日本", "ISO-2022-JP", bytes, lost));
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "\x1B(B");
    std::u16string text;
    ASSERT_TRUE(DecodeCharset(bytes, "ISO-2022-JP", text));
    EXPECT_EQ(text, u"日本");
    EXPECT_EQ(lost, 0u);
}
