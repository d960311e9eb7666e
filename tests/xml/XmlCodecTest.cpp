#include "xml/XmlEncodingTable.h"
#include "xml/XmlNodeIndex.h"
#include "xml/XmlTextCodec.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorlex;

TEST(XmlUtf8, DecodesEveryLengthAndMarksBadBytes) {
    std::u16string text;
    EXPECT_TRUE(Utf8ToUtf16("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", text));
    EXPECT_EQ(text, u"aé中\U0001F600");
    const std::string bad[] = {
        "\xC0\x80",         // overlong
        "\xED\xA0\x80",     // surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "\x80",             // stray continuation
        "\xE4\xB8",         // cut short
        "\xFF",
    };
    for (const std::string& bytes : bad) {
        EXPECT_FALSE(Utf8ToUtf16("x" + bytes + "y", text));
        EXPECT_EQ(text.front(), u'x');
        EXPECT_EQ(text.back(), u'y');
        EXPECT_EQ(text.find_first_not_of(u"x?y"), std::u16string::npos);
    }
}

// The ASCII fast path works in blocks; a character just before, on or after
// a block edge must come out right.
TEST(XmlUtf8, AsciiRunsOfEveryLengthAroundOtherCharacters) {
    for (size_t before = 0; before < 40; ++before) {
        const std::string bytes =
            std::string(before, 'a') + "\xE4\xB8\xAD" + std::string(before % 19, 'b');
        std::u16string text;
        ASSERT_TRUE(Utf8ToUtf16(bytes, text));
        EXPECT_EQ(text, std::u16string(before, u'a') + u"中" + std::u16string(before % 19, u'b'));
    }
}

TEST(XmlUtf8, EncodesPairsAndCountsLoneSurrogates) {
    size_t lost = 0;
    EXPECT_EQ(Utf16ToUtf8(u"aé中\U0001F600", lost), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(lost, 0u);
    const std::u16string lone = {u'a', 0xDC00, u'b', 0xD800};
    EXPECT_EQ(Utf16ToUtf8(lone, lost), "a?b?");
    EXPECT_EQ(lost, 2u);
}

TEST(XmlUtf32, RoundTripsBothByteOrders) {
    for (const bool bigEndian : {false, true}) {
        size_t lost = 0;
        const std::string bytes = Utf16ToUtf32(u"a中\U0001F600", bigEndian, lost);
        EXPECT_EQ(bytes.size(), 12u);
        EXPECT_EQ(Utf32ToUtf16(bytes, bigEndian), u"a中\U0001F600");
    }
    EXPECT_EQ(Utf32ToUtf16(std::string("\x00\x00\x11\x00", 4), false), u"?");
}

TEST(XmlEncodingNames, MapTheTellingNamesToTheirCodePages) {
    const std::pair<std::u16string_view, int> rows[] = {
        {u"utf-8", 65001},  {u"UTF-16", 1200},       {u"utf-16le", 1200},     {u"Unicode", 1200},
        {u"ucs-2", 1200},   {u"utf-16BE", 1201},     {u"utf-32", 12000},      {u"GB2312", 936},
        {u"gbk", 936},      {u"gb18030", 54936},     {u"BIG5", 950},          {u"Shift_JIS", 932},
        {u"euc-kr", 51949}, {u"ISO-8859-1", 28591},  {u"latin1", 28591},      {u"US-ASCII", 20127},
        {u"ascii", 20127},  {u"Windows-1252", 1252}, {u"no-such-thing", 936}, {u"", 936},
    };
    for (const auto& [name, codePage] : rows) {
        EXPECT_EQ(CodePageFromName(name), codePage) << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(CodePageFromName(u"utf-8" + std::u16string(95, u' ')), 936);
}

TEST(XmlCodePages, GoThroughTheConverterBothWays) {
    for (const int codePage : {54936, 950, 932, 51949, 28591, 1252, 20866, 65000, 50220}) {
        const std::u16string text = codePage == 28591 || codePage == 1252 ? u"café"
                                    : codePage == 20866                   ? u"привет"
                                                                          : u"中a";
        size_t lost = 0;
        const std::string bytes = EncodeCodePage(text, codePage, lost);
        EXPECT_EQ(lost, 0u) << codePage;
        EXPECT_EQ(DecodeCodePage(bytes, codePage), text) << codePage;
    }
    size_t lost = 0;
    EXPECT_EQ(EncodeCodePage(u"a中b", 20127, lost), "a?b");
    EXPECT_EQ(lost, 1u);
}

TEST(XmlNodeIndexGrowth, FirstBlockSizedToNeedThenFullBlocks) {
    XmlNodeIndex index;
    index.Reset(100);
    EXPECT_EQ(index.Capacity(), 100u);
    for (uint32_t i = 1; i < 100; ++i) {
        index.Allocate({i, 0, 0, 0, 0, 0, 0, 0});
    }
    EXPECT_EQ(index.Capacity(), 100u);
    index.Allocate({100, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(index.Capacity(), 150u); // grows by half
    while (index.NextFree() <= 70000) {
        index.Allocate({index.NextFree(), 0, 0, 0, 0, 0, 0, 0});
    }
    EXPECT_EQ(index.BlockCount(), 2u);
    EXPECT_EQ(index.Capacity(), 2 * XmlNodeIndex::kBlockSize);
    for (uint32_t i = 1; i < index.NextFree(); ++i) {
        ASSERT_EQ(index[i].offset, i); // nothing lost while blocks were replaced
    }
    index.Reset(200000);
    EXPECT_EQ(index.NextFree(), 1u);
    EXPECT_EQ(index.BlockCount(), 4u);
}
