#include "radio/ChannelTable.h"

#include <gtest/gtest.h>

#include <string>

namespace quorlex {
namespace {

FrequencyTable FactoryTable() {
    FrequencyTable table{};
    for (size_t i = 0; i < table.size(); ++i) {
        table[i] = ParseTableFrequency(kDefaultChannelFrequencies[i]);
    }
    return table;
}

TEST(ChannelTableCommands, SendTheTableShownThenReadBack) {
    FrequencyTable odd{};
    odd[0] = 410.0;
    odd[1] = 469.9996; // rounds up to three decimals
    odd[15] = 447.12549;
    struct Case {
        int direction;
        FrequencyTable table;
        std::u16string command;
        std::u16string description;
    };
    const Case cases[] = {
        {kTransmitTable, FactoryTable(),
         u"SET,RADIO.FREQUENCY,438.125|440.125|441.125|442.125|443.125|444.125|446.125|447.125|"
         u"463.125|464.125|465.125|466.125|463.625|464.625|465.625|466.625",
         u"设置电台发送频率"},
        {kReceiveTable, odd,
         u"SET,RADIO.FREQUENCY_RX,410.000|470.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|0.000|"
         u"0.000|0.000|0.000|0.000|0.000|447.125",
         u"设置电台接收频率"},
    };
    for (const Case& c : cases) {
        const std::vector<CommandItem> items = BuildChannelTableCommands(c.direction, c.table);
        ASSERT_EQ(items.size(), 2u);
        EXPECT_EQ(items[0].command, c.command);
        EXPECT_EQ(items[0].reply, u"@GNSS," + c.command + u",OK");
        EXPECT_EQ(items[0].description, c.description);
        EXPECT_EQ(items[1].command, u"GET,ALL");
        EXPECT_EQ(items[1].reply, u"@GNSS,GET,ALL,OK");
        EXPECT_EQ(items[1].description, u"重新读取配置信息");
        for (const CommandItem& item : items) {
            EXPECT_EQ(item.resendEvery, 3);
            EXPECT_EQ(item.budget, 9);
        }
    }
}

TEST(ChannelTableCommands, TypedEntriesThatAreNoNumberBecomeZero) {
    const struct {
        std::u16string_view text;
        double mhz;
    } cases[] = {
        {u"447.125", 447.125}, {u" 450.5MHz", 450.5}, {u"", 0.0},       {u"abc", 0.0},
        {u"nan", 0.0},         {u"1e999", 0.0},       {u"-1e999", 0.0}, {u"-12", -12.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(ParseTableFrequency(c.text), c.mhz);
    }
}

TEST(ChannelTable, DirectionsEditTheRadioModesTransmitAndTheRelaysReceiveTable) {
    DatalinkConfig datalink;
    EXPECT_EQ(&ChannelTableOf(datalink, kTransmitTable), &datalink.radio[0].txFrequency);
    EXPECT_EQ(&ChannelTableOf(datalink, kReceiveTable), &datalink.radio[1].rxFrequency);
}

TEST(ChannelTable, OnlyChannels1To16HaveAListIndex) {
    const struct {
        int32_t channel;
        std::optional<int> index;
    } cases[] = {{-1, std::nullopt}, {0, std::nullopt}, {1, 0}, {8, 7},
                 {16, 15},           {17, std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChannelIndexOf(c.channel), c.index) << c.channel;
    }
}

} // namespace
} // namespace quorlex
