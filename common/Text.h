#pragma once

#include <string>
#include <string_view>

namespace quorlex {

// The n-th field (from 0) of text split at every separator; empty fields count.
// Returns false and leaves field empty when the text has fewer than n + 1 fields.
bool ExtractField(std::u16string_view text, int n, char16_t separator, std::u16string& field);

// ASCII-only case mapping: the receiver's keys and values are ASCII.
std::u16string ToUpperAscii(std::u16string_view text);

bool Contains(std::u16string_view text, std::u16string_view word);

// Text is UTF-16 in the core; UTF-8 at the edges (files, terminals, tests).
// Invalid sequences become U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

// Length of the well-formed UTF-8 sequence at p (not reading at or past end),
// or 0 when there is none; c receives its code point.
size_t DecodeUtf8Sequence(const unsigned char* p, const unsigned char* end, char32_t& c);

// Appends c as one UTF-16 unit or a surrogate pair.
void AppendCodePoint(char32_t c, std::u16string& out);

// 0-15 for a hexadecimal digit, -1 otherwise.
int HexDigitValue(char32_t c);

} // namespace quorlex
