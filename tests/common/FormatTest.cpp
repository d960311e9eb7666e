#include "common/Format.h"

#include <gtest/gtest.h>

using namespace quorlex;

TEST(FormatText, FillsCommandPatterns) {
    EXPECT_EQ(FormatText(u"SET,NETWORK.ADDR,%s", {std::u16string_view(u"1.2.3.4")}),
              u"SET,NETWORK.ADDR,1.2.3.4");
    EXPECT_EQ(FormatText(u"SET,CONFIG,%d,START", {int64_t{2}}), u"SET,CONFIG,2,START");
    EXPECT_EQ(FormatText(u"%.3f|%.3f", {410.05, 411.0}), u"410.050|411.000");
    EXPECT_EQ(FormatText(u"100%%", {}), u"100%");
}

TEST(FormatText, PadsHexLikeAddresses) {
    EXPECT_EQ(FormatText(u"%s:%04x%08x", {std::u16string_view(u"R"), int64_t{0x1A}, int64_t{0xB}}),
              u"R:001a0000000b");
    EXPECT_EQ(FormatText(u"%02X", {int64_t{0x5}}), u"05");
    EXPECT_EQ(FormatText(u"[%5d]", {int64_t{-42}}), u"[  -42]");
    EXPECT_EQ(FormatText(u"[%05d]", {int64_t{-42}}), u"[-0042]");
}

TEST(FormatText, MissingArgumentsAreCopiedLiterally) {
    EXPECT_EQ(FormatText(u"GET,ALL,%d and %s", {int64_t{3}}), u"GET,ALL,3 and %s");
    EXPECT_EQ(FormatText(u"trailing %", {}), u"trailing %");
    EXPECT_EQ(FormatText(u"%q", {int64_t{1}}), u"%q");
}
