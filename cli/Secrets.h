#pragma once

#include "cli/ConfigFields.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorlex::cli {

inline constexpr std::string_view kHiddenValue = "(hidden)";
inline constexpr std::string_view kNotReported = "(not reported)";

// A command or a receiver's line as people may see it: the password in an APN
// password or caster user-and-password value becomes "***". Masks from the
// value's start, so a password holding "|" or "," never shows in part.
std::u16string MaskedCommand(std::u16string_view command);

// A field's value as shown anywhere: passwords hidden, missing ones named.
std::string ShownValue(const FieldDef& field, const std::optional<std::string>& value);

} // namespace quorlex::cli
