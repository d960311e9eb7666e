#pragma once

#include <string_view>

namespace quorlex {

// Correction server the record and the settings dialog start with until the receiver reports
// its own. An address of the documentation range, so a fresh record never points at a real host.
inline constexpr std::u16string_view kPresetServerAddress = u"203.0.113.10";

} // namespace quorlex
