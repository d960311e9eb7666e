#pragma once

#include "model/CommandItem.h"
#include "model/DatalinkConfig.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

using FrequencyTable = std::array<double, kRadioChannelCount>;

// The two 16-channel tables the channel defaults dialog edits.
inline constexpr int kTransmitTable = 0;
inline constexpr int kReceiveTable = 1;

// The factory frequencies by channel, channel 1 first.
inline constexpr std::array<std::u16string_view, kRadioChannelCount> kDefaultChannelFrequencies{
    u"438.125", u"440.125", u"441.125", u"442.125", u"443.125", u"444.125", u"446.125", u"447.125",
    u"463.125", u"464.125", u"465.125", u"466.125", u"463.625", u"464.625", u"465.625", u"466.625",
};

// Transmit: the radio mode's transmit table; receive: the radio relay's receive table.
FrequencyTable& ChannelTableOf(DatalinkConfig& datalink, int direction);

// List index of a 1-based channel; nothing for a channel the lists do not offer.
std::optional<int> ChannelIndexOf(int32_t channel);

// A table entry as the user typed it: the leading number, 0 without one. A
// value too large to be a number at all is 0 too, so no "inf" goes on the wire.
double ParseTableFrequency(std::u16string_view text);

// Sends one whole table, then reads the configuration back.
std::vector<CommandItem> BuildChannelTableCommands(int direction, const FrequencyTable& table);

} // namespace quorlex
