#pragma once

#include "model/CommandItem.h"
#include "model/DatalinkConfig.h"
#include "model/ReceiverConfig.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace quorlex {

inline constexpr int32_t kFirstSlot = 1;
inline constexpr int32_t kLastSlot = 5;

// What "保存" was asked to do.
enum class SaveAction {
    ApplyAndSaveSlot,    // slot shown: "立即应用并保存配置"
    ApplyWithoutSaving,  // slot shown: "立即应用但不保存配置"
    SaveWithoutApplying, // slot shown: "不应用仅保存配置"
    ApplyNow,            // current configuration shown: "立即应用"
    ApplyAndSaveAs,      // current configuration shown: "立即应用并保存为" a slot
};

// The prompt's choice index as an action; nothing for an index the prompt does not offer.
std::optional<SaveAction> SlotPromptAction(int32_t saveChoice);
std::optional<SaveAction> CurrentPromptAction(int32_t saveChoice);

// The slot bracket and read-back commands of slot n (1..5).
CommandItem SlotStartCommand(int32_t slot);
CommandItem SlotEndCommand(int32_t slot);
CommandItem UseSlotCommand(int32_t slot);
// "GET,ALL,n" for a slot, "GET,ALL" for 0, the current configuration.
CommandItem ReadBackCommand(int32_t slot);

// Everything one save sends, in order: the slot bracket when the action
// stores, the working mode's commands, the switch to the slot and the mode
// once more when the action applies and stores, and the read-back. slot is
// the slot shown, or the one chosen for "立即应用并保存为"; ApplyNow ignores
// it. Empty when an action that needs a slot gets one outside 1..5, so a
// malformed slot number is never sent.
std::vector<CommandItem> BuildSaveCommands(SaveAction action, int32_t slot, int32_t workingMode,
                                           const ReceiverConfig& workCopy,
                                           const RadioBlock& relayRadio);

} // namespace quorlex
