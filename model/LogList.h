#pragma once

#include "model/ReceiverSettings.h"

#include <string_view>

namespace quorlex {

// DEVICE.LOGLIST: "GGA:1|RMC:5|..." into nmeaRates; sentences not named keep their rate.
// False, with nothing changed, when the line carries no value.
bool DecodeLogList(ReceiverSettings& settings, std::u16string_view line);

} // namespace quorlex
