#pragma once

#include <string>
#include <string_view>

namespace quorlex {

// Six digits "yymmdd" from a build date in the compiler's form "Mmm dd yyyy"
// (day padded with a blank); empty for a text of 10 characters or fewer.
std::u16string VersionTextFromDate(std::string_view buildDate);

// The version text of this build, from the date it was compiled.
std::u16string VersionText();

} // namespace quorlex
