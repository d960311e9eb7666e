#include "settings/SaveSequence.h"

#include "common/Format.h"
#include "settings/ApplyCommands.h"

#include <iterator>

namespace quorlex {

namespace {

CommandItem SlotItem(std::u16string_view command, std::u16string_view description, int32_t slot) {
    return MakeCommandItem(FormatText(command, {int64_t{slot}}),
                           FormatText(description, {int64_t{slot}}));
}

bool IsSlot(int32_t slot) {
    return slot >= kFirstSlot && slot <= kLastSlot;
}

void Append(std::vector<CommandItem>& items, std::vector<CommandItem> more) {
    items.insert(items.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
}

} // namespace

std::optional<SaveAction> SlotPromptAction(int32_t saveChoice) {
    switch (saveChoice) {
    case 0:
        return SaveAction::ApplyAndSaveSlot;
    case 1:
        return SaveAction::ApplyWithoutSaving;
    case 2:
        return SaveAction::SaveWithoutApplying;
    default:
        return std::nullopt;
    }
}

std::optional<SaveAction> CurrentPromptAction(int32_t saveChoice) {
    switch (saveChoice) {
    case 0:
        return SaveAction::ApplyNow;
    case 1:
        return SaveAction::ApplyAndSaveAs;
    default:
        return std::nullopt;
    }
}

CommandItem SlotStartCommand(int32_t slot) {
    return SlotItem(u"SET,CONFIG,%d,START", u"保存配置%d信息", slot);
}

CommandItem SlotEndCommand(int32_t slot) {
    return SlotItem(u"SET,CONFIG,%d,END", u"保存配置%d信息结束", slot);
}

CommandItem UseSlotCommand(int32_t slot) {
    return SlotItem(u"SET,DEVICE.CUR_CONFIG,%d", u"设置配置%d为当前使用配置", slot);
}

CommandItem ReadBackCommand(int32_t slot) {
    if (slot == 0) {
        return MakeCommandItem(u"GET,ALL", u"重新读取配置信息");
    }
    return SlotItem(u"GET,ALL,%d", u"重新读取配置信息", slot);
}

std::vector<CommandItem> BuildSaveCommands(SaveAction action, int32_t slot, int32_t workingMode,
                                           const ReceiverConfig& workCopy,
                                           const RadioBlock& relayRadio) {
    std::vector<CommandItem> items;
    std::vector<CommandItem> apply = BuildApplyCommands(workingMode, workCopy, relayRadio);
    if (action == SaveAction::ApplyNow) {
        Append(items, std::move(apply));
        items.push_back(ReadBackCommand(0));
        return items;
    }
    if (!IsSlot(slot)) {
        return items;
    }
    const bool brackets = action != SaveAction::ApplyWithoutSaving;
    const bool switchesSlot =
        action == SaveAction::ApplyAndSaveSlot || action == SaveAction::ApplyAndSaveAs;
    if (brackets) {
        items.push_back(SlotStartCommand(slot));
    }
    Append(items, std::move(apply));
    if (brackets) {
        items.push_back(SlotEndCommand(slot));
    }
    if (switchesSlot) {
        items.push_back(UseSlotCommand(slot));
        Append(items, BuildModeCommand(workingMode));
    }
    items.push_back(ReadBackCommand(slot));
    return items;
}

} // namespace quorlex
