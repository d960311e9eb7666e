#include "channel/Cp936ChunkDecoder.h"
#include "common/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorlex;

namespace {

struct SplitCase {
    const char* name;
    std::vector<std::string> chunks;
    std::u16string text;
};

TEST(Cp936ChunkDecoderTest, CharactersCutBetweenChunksAreCompletedWithTheNext) {
    const std::string station = EncodeCp936(u"测站"); // B2 E2 D5 BE
    ASSERT_EQ(station.size(), 4u);
    const std::vector<SplitCase> cases = {
        {"lead byte alone", {station.substr(0, 1), station.substr(1)}, u"测站"},
        {"second character cut", {station.substr(0, 3), station.substr(3)}, u"测站"},
        {"lead byte as a chunk of its own",
         {"A", station.substr(0, 1), station.substr(1, 2), station.substr(3)},
         u"A测站"},
        // 0xB2 0xE2 is one character, so the 0xB2 after it starts the next.
        {"trail byte that looks like a lead byte", {"\xB2\xE2\xB2", "\xE2"}, u"测测"},
        {"lead byte without a valid trail byte stands alone", {"\xB2\x31", "x"}, u"\uFFFD1x"},
        {"zero byte ends the text and drops the kept byte",
         {"\xB2", std::string("\0\xE2", 2)},
         u"\uFFFD"},
    };
    for (const SplitCase& c : cases) {
        Cp936ChunkDecoder decoder;
        std::u16string text;
        for (const std::string& chunk : c.chunks) {
            text += decoder.Decode(chunk);
        }
        EXPECT_EQ(text, c.text) << c.name;
    }
}

} // namespace
