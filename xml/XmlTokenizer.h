#pragma once

#include "xml/XmlNode.h"
#include "xml/XmlResultLog.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorlex {

// One markup construct. Text is not reported: it is whatever lies between
// two constructs (a "<" that opens nothing counts as text).
struct XmlToken {
    XmlTokenType type = XmlTokenType::Text;
    uint32_t offset = 0;     // the "<"
    uint32_t length = 0;     // up to and including the closing ">"
    uint32_t nameLength = 0; // start and end tags: the name after "<" or "</"
    bool emptyElement = false;
};

// Splits a range of the document into markup constructs. Malformed openings
// are logged and read as text; a construct left open at the end of the range
// is logged and ends the scan.
class XmlTokenizer {
public:
    XmlTokenizer(std::u16string_view text, size_t begin, size_t end, XmlResultLog* log);

    // The next construct; false at the end of the range.
    bool Next(XmlToken& token);

    // Where an unterminated construct began, or the end of the range.
    size_t OpenTail() const { return openTail_; }

private:
    enum class Outcome { Found, Text, Unterminated };

    Outcome StartTag(size_t lt, XmlToken& token);
    Outcome EndTag(size_t lt, XmlToken& token);
    Outcome Exclamation(size_t lt, XmlToken& token);
    Outcome DocumentType(size_t lt, XmlToken& token);
    size_t SkipInternalSubset(size_t i) const;
    size_t SkipQuoted(size_t quote) const;
    template <char16_t First>
    Outcome Delimited(size_t lt, size_t from, std::u16string_view marker, XmlTokenType type,
                      std::u16string_view typeName, XmlToken& token);

    Outcome Syntax(std::u16string_view result, size_t lt);
    Outcome Unterminated(std::u16string_view typeName, size_t lt);
    static Outcome Found(XmlToken& token, XmlTokenType type, size_t lt, size_t end);

    const char16_t* text_;
    size_t pos_;
    size_t end_;
    size_t openTail_;
    XmlResultLog* log_;
};

} // namespace quorlex
