#pragma once

#include "model/DatalinkConfig.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorlex {

// A radio link protocol as the lists show it and the receiver's RADIO.MODE code.
struct RadioProtocol {
    std::u16string_view name;
    int32_t code;
};

// In the order of every protocol list.
inline constexpr std::array<RadioProtocol, 5> kRadioProtocols{{
    {u"TRIMTALK", 3},
    {u"TRIMMK3", 9},
    {u"TRANSEOT", 2},
    {u"KESTO9600", 4},
    {u"KESTO19200", 10},
}};

// List index of a receiver code; nothing for a code the lists do not offer.
std::optional<int> ProtocolIndexOfCode(int32_t code);
// Receiver code of a list index; an index outside the list is kept as the code.
int32_t ProtocolCodeOfIndex(int index);

// The one channel whose frequency may be typed on the radio pages (0-based: channel 8).
inline constexpr int kTypedFrequencyChannelIndex = 7;

inline constexpr std::u16string_view kFrequencyRangeWarning =
    u"电台频率必须在410-470，请重新设置！";

// Whether a radio frequency in MHz lies within 410..470, both ends included
// (compared with a tolerance of 0.000001). Not-a-number and infinities are refused.
bool IsFrequencyInRange(double mhz);

// A typed frequency read as the receiver would take it (leading number, 0
// without one); nothing when it is outside the range.
std::optional<double> CheckFrequencyText(std::u16string_view text);

} // namespace quorlex
