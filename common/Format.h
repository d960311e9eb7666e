#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace quorlex {

using FormatArg = std::variant<int64_t, double, std::u16string_view>;

// printf-style formatting into UTF-16, independent of the process locale.
// Understands %d, %u, %x, %X (with optional '0' flag and width), %.<n>f, %f,
// %s and %%. A directive without a matching argument is copied literally, so
// a bad pattern never reads past the arguments.
std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args);

} // namespace quorlex
