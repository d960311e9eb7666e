#pragma once

#include <cstdint>

namespace quorlex {

// Working mode index shared by the record, the settings dialog and the apply sequences.
inline constexpr int32_t kWorkingModeNone = -1;
inline constexpr int32_t kWorkingModeRadio = 0;        // "UHF"
inline constexpr int32_t kWorkingModeNetworkRelay = 1; // "NETRELAY"
inline constexpr int32_t kWorkingModeRadioRelay = 2;   // "UHFRELAY"
inline constexpr int32_t kWorkingModeBaseNetwork = 3;  // "NETBASE"

} // namespace quorlex
