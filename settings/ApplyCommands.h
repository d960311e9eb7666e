#pragma once

#include "model/CommandItem.h"
#include "model/DatalinkConfig.h"
#include "model/ReceiverConfig.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quorlex {

// A frequency table as the receiver takes it: all 16 entries, "%.3f", "|" between.
std::u16string FormatFrequencyTable(const std::array<double, kRadioChannelCount>& table);

// Every "SET" command of one working mode, from the settings dialog's working
// copy and its network relay radio block, ending with the working-mode
// command. Nothing for a mode outside 0..3.
std::vector<CommandItem> BuildApplyCommands(int32_t workingMode, const ReceiverConfig& workCopy,
                                            const RadioBlock& relayRadio);

// The command that switches the receiver to the working mode; nothing for a
// mode outside 0..3.
std::vector<CommandItem> BuildModeCommand(int32_t workingMode);

} // namespace quorlex
