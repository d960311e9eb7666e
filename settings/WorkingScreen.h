#pragma once

#include "model/CommandItem.h"
#include "model/DatalinkConfig.h"
#include "model/ReceiverConfig.h"

#include <cstdint>
#include <string>

namespace quorlex {

// 0 is the receiver's current configuration, 1..5 a stored slot.
inline constexpr int32_t kCurrentConfiguration = 0;

// What the working screen edits before any receiver has been read: the
// record's defaults with the network profiles and both radio blocks reset to
// the built-in server, the "cment" APN and channel 1.
ReceiverConfig InitialWorkCopy();

// "GET,ALL" for the current configuration, "GET,ALL,n" for slot n.
CommandItem ReadConfigurationCommand(int32_t slot);

// The red line above the pages that says which configuration they show.
std::u16string ShownConfigurationLabel(int32_t slot);

} // namespace quorlex
