#pragma once

#include <cstdint>

namespace quorlex {

// Reply codes the intake acts on; the key table holds the rest.
inline constexpr int32_t kReplyNone = 0;
inline constexpr int32_t kReplyBurstBegin = 10;          // DEVICE.INFO.SERIAL
inline constexpr int32_t kReplyBurstEnd = 103;           // BLUETOOTH.MODEL
inline constexpr int32_t kReplyNetworkStatus = 87;       // NETWORK.STATUS
inline constexpr int32_t kReplyNetworkError = 101;       // NETWORK.ERRORCODE other than "0400"
inline constexpr int32_t kReplyNetworkErrorCleared = -1; // NETWORK.ERRORCODE "0400"

} // namespace quorlex
