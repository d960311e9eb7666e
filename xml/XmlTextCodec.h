#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorlex {

// The engine's own conversions between UTF-8, UTF-16 and UTF-32. A byte or
// unit that does not form a character becomes "?"; a character that the
// target cannot hold (a lone surrogate) becomes "?" and is counted in `lost`.

// Returns false when any byte was not part of a well-formed character.
// sawZero, when given, tells whether the bytes held a zero byte.
bool Utf8ToUtf16(std::string_view bytes, std::u16string& out, bool* sawZero = nullptr);
std::string Utf16ToUtf8(std::u16string_view text, size_t& lost);

std::u16string Utf32ToUtf16(std::string_view bytes, bool bigEndian);
std::string Utf16ToUtf32(std::u16string_view text, bool bigEndian, size_t& lost);

std::u16string Utf16BytesToText(std::string_view bytes, bool bigEndian);
std::string TextToUtf16Bytes(std::u16string_view text, bool bigEndian);

// Any code page of the encoding table: UTF forms by the engine, code page
// 936 by the common helper, the rest through iconv. A code page that cannot
// be converted is read and written as the system default code page.
std::u16string DecodeCodePage(std::string_view bytes, int codePage);
std::string EncodeCodePage(std::u16string_view text, int codePage, size_t& lost);

} // namespace quorlex
