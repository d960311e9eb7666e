#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// Base-10 integer as the C library reads it: optional blanks and sign, then
// digits up to the first other character; 0 without digits; clamped to 32 bits.
int32_t ParseInteger(std::u16string_view text);

// Decimal number with the same stopping rule (fraction and exponent accepted);
// 0.0 without digits. Never depends on the process locale.
double ParseDecimal(std::u16string_view text);

// "%d" and "%.3f" (or "%.<precision>f"), independent of the process locale.
std::u16string FormatInt(int64_t value);
std::u16string FormatFixed(double value, int precision = 3);

} // namespace quorlex
