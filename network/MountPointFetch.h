#pragma once

#include "model/CommandItem.h"
#include "model/DatalinkConfig.h"

#include <cstdint>
#include <vector>

namespace quorlex {

// How long the receiver may take to log into the caster and start the list.
inline constexpr int32_t kMountListResendEvery = 60;
inline constexpr int32_t kMountListBudget = 120;

// The batch that has the receiver log into the caster of server and report its
// mount points and source table, then reads the whole configuration back. The
// system mode is switched to the network relay unless the receiver is in it
// already. The password goes out inside the user command only; no description
// shows it.
std::vector<CommandItem> BuildMountPointFetch(const NetworkServerBlock& server,
                                              int32_t receiverWorkingMode);

} // namespace quorlex
