#pragma once

#include "model/ReceiverSettings.h"

#include <cstdint>
#include <string_view>

namespace quorlex {

// The receiver's result code as a short text; empty for a code it does not define.
std::u16string_view StatusCodeText(int32_t code);

// NETWORK.STATUS and NETWORK.ERRORCODE: the code's text into the relay profile's status or
// error text. False, with nothing stored, when the line carries no value.
bool DecodeNetworkStatus(ReceiverSettings& settings, std::u16string_view line);
bool DecodeNetworkError(ReceiverSettings& settings, std::u16string_view line);

} // namespace quorlex
