#pragma once

#include "link/BluetoothPlatform.h"

#include <cstdint>
#include <span>
#include <stop_token>

namespace quorlex {

// The RFCOMM channel (1 to 255) named in the protocol descriptor list of a
// service search response, or 0 when the response is malformed or names none.
int SerialChannelFromResponse(std::span<const uint8_t> response);

// Asks the device for its Serial Port service; 0 when it has none or does not answer.
int FindSerialChannel(BluetoothPlatform& platform, uint64_t address, std::stop_token stop = {});

} // namespace quorlex
