#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// XOR of the low 8 bits of every unit between the leading "@" and the first "*" (or the end).
uint8_t ReplyChecksum(std::u16string_view line);

// True when the two characters after the first "*" are the line's checksum in hexadecimal,
// either letter case. Whatever follows them (a carriage return) does not matter.
bool ReplyChecksumValid(std::u16string_view line);

// body, which starts with "@", followed by "*" and its checksum as two upper-case hex digits.
std::u16string WithReplyChecksum(std::u16string_view body);

} // namespace quorlex
