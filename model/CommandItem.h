#pragma once

#include "common/Format.h"

#include <cstdint>
#include <string>
#include <utility>

namespace quorlex {

// One command of a batch. While an item is current, budget is its remaining tick count.
struct CommandItem {
    std::u16string command;
    std::u16string reply; // acknowledged by any received line containing it; empty matches any line
    int32_t resendEvery = 3;
    int32_t budget = -1;
    std::u16string description;
};

inline constexpr int32_t kDefaultResendEvery = 3;
inline constexpr int32_t kDefaultBudget = 9;

// The item every dialog builds: acknowledged by "@GNSS,<command>,OK", resent every 3 ticks, 9 ticks
// long.
inline CommandItem MakeCommandItem(std::u16string command, std::u16string description) {
    CommandItem item;
    item.reply = FormatText(u"@GNSS,%s,OK", {std::u16string_view(command)});
    item.command = std::move(command);
    item.resendEvery = kDefaultResendEvery;
    item.budget = kDefaultBudget;
    item.description = std::move(description);
    return item;
}

} // namespace quorlex
