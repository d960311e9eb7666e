#pragma once

#include "xml/XmlNodeIndex.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// The decoded text of an element: references expanded in text, CDATA taken
// verbatim, comments and other markup left out. Empty for node 0, for an
// element with child elements and for one without content. docFlags selects
// whitespace trimming (0x100) or collapsing (0x200).
std::u16string ElementData(std::u16string_view text, const XmlNodeIndex& index, uint32_t node,
                           uint32_t docFlags);

// Drops leading and trailing whitespace; with collapse, each inner run becomes one space.
std::u16string TrimWhitespace(std::u16string_view data, bool collapse);

} // namespace quorlex
