#pragma once

#include <string_view>

namespace quorlex {

// The encoding a document names for itself: the `encoding` of an "<?xml"
// declaration at its start or, when htmlMeta is set, the charset of a
// <meta http-equiv="Content-Type" content="...; charset=..."> inside
// <html><head>. Empty when it names none.
std::u16string_view FindDeclaredEncoding(std::u16string_view start, bool htmlMeta);

// Reads name=value pairs, quoted with either quote or unquoted, from the
// inside of a tag.
class XmlAttributeReader {
public:
    explicit XmlAttributeReader(std::u16string_view body) : body_(body) {}

    bool Next(std::u16string_view& name, std::u16string_view& value);

private:
    void SkipSpace();

    std::u16string_view body_;
    size_t pos_ = 0;
};

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

} // namespace quorlex
