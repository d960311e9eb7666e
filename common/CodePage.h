#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorlex {

// Code page 936 (GBK), the receiver's and the device list's 8-bit text.
// Bytes that do not decode become U+FFFD. With stopAtNul the text ends at the
// first zero byte, as 8-bit strings do on the receiver's side.
std::u16string DecodeCp936(std::string_view bytes, bool stopAtNul = true);

// Characters that code page 936 cannot hold become '?'; lossy reports whether any did.
std::string EncodeCp936(std::u16string_view text, bool* lossy = nullptr);

// The same for any character set iconv knows by name. false, with the output
// untouched, when it does not know the name. lost counts the characters
// that became '?'.
bool DecodeCharset(std::string_view bytes, const char* charset, std::u16string& text);
bool EncodeCharset(std::u16string_view text, const char* charset, std::string& bytes, size_t& lost);

} // namespace quorlex
