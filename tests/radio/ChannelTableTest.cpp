#include "radio/ChannelTable.h"

#include <gtest/gtest.h>

#include <string>

namespace quorlex {
namespace {

// The whole command text is checked against the simulated receiver in the dialog's tests.
TEST(ChannelTableCommands, OneTableThenTheReadBack) {
    FrequencyTable table{};
    table[1] = 469.9996; // three decimals, rounded
    for (const int direction : {kTransmitTable, kReceiveTable}) {
        const std::vector<CommandItem> items = BuildChannelTableCommands(direction, table);
        ASSERT_EQ(items.size(), 2u);
        const bool rx = direction == kReceiveTable;
        EXPECT_EQ(items[0].command,
                  std::u16string(rx ? u"SET,RADIO.FREQUENCY_RX," : u"SET,RADIO.FREQUENCY,") +
                      u"0.000|470.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|"
                      u"0.000|0.000|0.000|0.000|0.000|0.000|0.000");
        EXPECT_EQ(items[0].description, rx ? u"设置电台接收频率" : u"设置电台发送频率");
        EXPECT_EQ(items[1].command, u"GET,ALL");
        EXPECT_EQ(items[1].description, u"重新读取配置信息");
        for (const CommandItem& item : items) {
            EXPECT_EQ(item.reply, u"@GNSS," + item.command + u",OK");
            EXPECT_EQ(std::pair(item.resendEvery, item.budget), std::pair(3, 9));
        }
    }
}

TEST(ChannelTableCommands, TypedEntriesThatAreNoNumberBecomeZero) {
    const std::pair<std::u16string_view, double> cases[] = {
        {u"447.125", 447.125}, {u" 450.5MHz", 450.5}, {u"", 0.0},       {u"abc", 0.0},
        {u"nan", 0.0},         {u"1e999", 0.0},       {u"-1e999", 0.0}, {u"-12", -12.0},
    };
    for (const auto& [text, mhz] : cases) {
        EXPECT_EQ(ParseTableFrequency(text), mhz) << std::string(text.begin(), text.end());
    }
}

} // namespace
} // namespace quorlex
