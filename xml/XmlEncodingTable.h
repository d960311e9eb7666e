#pragma once

#include <string_view>

namespace quorlex {

// Code page numbers the engine knows by name.
namespace XmlCodePage {
inline constexpr int kAnsi = 936; // this platform's system default code page
inline constexpr int kUtf8 = 65001;
inline constexpr int kUtf16Le = 1200;
inline constexpr int kUtf16Be = 1201;
inline constexpr int kUtf32Le = 12000;
inline constexpr int kUtf32Be = 12001;
} // namespace XmlCodePage

// The code page of an encoding name, ASCII letters compared without regard to
// case. Names not in the table, and names of 100 characters or more, give the
// system default code page.
int CodePageFromName(std::u16string_view name);

// The converter's name for a code page that goes through iconv; empty for
// code pages that the engine converts itself or does not know.
std::string_view IconvNameOfCodePage(int codePage);

} // namespace quorlex
