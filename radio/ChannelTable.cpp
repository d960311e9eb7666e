#include "radio/ChannelTable.h"

#include "common/Numbers.h"
#include "settings/ApplyCommands.h"

#include <cmath>

namespace quorlex {

FrequencyTable& ChannelTableOf(DatalinkConfig& datalink, int direction) {
    return direction == kReceiveTable ? datalink.radio[1].rxFrequency
                                      : datalink.radio[0].txFrequency;
}

std::optional<int> ChannelIndexOf(int32_t channel) {
    if (channel < 1 || channel > kRadioChannelCount) {
        return std::nullopt;
    }
    return channel - 1;
}

double ParseTableFrequency(std::u16string_view text) {
    const double mhz = ParseDecimal(text);
    return std::isfinite(mhz) ? mhz : 0.0;
}

std::vector<CommandItem> BuildChannelTableCommands(int direction, const FrequencyTable& table) {
    const std::u16string list = FormatFrequencyTable(table);
    std::vector<CommandItem> items;
    if (direction == kReceiveTable) {
        items.push_back(MakeCommandItem(u"SET,RADIO.FREQUENCY_RX," + list, u"设置电台接收频率"));
    } else {
        items.push_back(MakeCommandItem(u"SET,RADIO.FREQUENCY," + list, u"设置电台发送频率"));
    }
    items.push_back(MakeCommandItem(u"GET,ALL", u"重新读取配置信息"));
    return items;
}

} // namespace quorlex
