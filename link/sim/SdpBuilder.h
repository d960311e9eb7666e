#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quorlex {

// Service discovery data elements, encoded as a device sends them.
using SdpBytes = std::vector<uint8_t>;

// An unsigned or signed integer of 1, 2, 4, 8 or 16 bytes (the upper 8 bytes
// of a 16-byte one are zero or the sign).
SdpBytes SdpUnsigned(uint64_t value, int bytes);
SdpBytes SdpSigned(int64_t value, int bytes);
SdpBytes SdpUuid16(uint16_t value);
SdpBytes SdpUuid32(uint32_t value);
SdpBytes SdpUuid128(const std::array<uint8_t, 16>& value);
SdpBytes SdpText(std::string_view text);
SdpBytes SdpNil();
// A sequence or alternative of encoded elements, with the shortest length field.
SdpBytes SdpSequence(const std::vector<SdpBytes>& items);
SdpBytes SdpAlternative(const std::vector<SdpBytes>& items);

// The answer of a device whose Serial Port service listens on the channel:
// one attribute list holding its protocol descriptor list (L2CAP, then RFCOMM
// with the channel).
SdpBytes SerialPortServiceResponse(uint8_t channel);

} // namespace quorlex
