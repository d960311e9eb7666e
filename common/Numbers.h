#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// Base-10 integer as the C library reads it: optional blanks and sign, then
// digits up to the first other character; 0 without digits; clamped to 32 bits.
int32_t ParseInteger(std::u16string_view text);

// Decimal number exactly as the C library's wide-string conversion reads it in
// the "C" locale: fraction, exponent, hexadecimal, "inf" and "nan" included;
// overflow gives +/-inf and underflow 0; 0.0 when nothing converts. Callers
// must expect non-finite results. Never depends on the process locale.
double ParseDecimal(std::u16string_view text);

// "%d" and "%.3f" (or "%.<precision>f"), independent of the process locale.
std::u16string FormatInt(int64_t value);
std::u16string FormatFixed(double value, int precision = 3);

} // namespace quorlex
