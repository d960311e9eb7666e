#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorlex {

// Code point of a named character entity, matched case-sensitively
// ("Alpha" and "alpha" differ); 0 when the name is not known.
char32_t LookupEntity(std::u16string_view name);
size_t NamedEntityCount();

// Appends text with character references ("&#65;", "&#x41;") and named
// entities expanded. A reference that is malformed or unknown stays as it is.
void AppendUnescaped(std::u16string_view text, std::u16string& out);

// Appends text with "<", "&" and ">" escaped; in attribute values the quotes too.
void AppendEscaped(std::u16string_view text, std::u16string& out, bool attributeValue = false);

} // namespace quorlex
