#pragma once

#include "xml/XmlNode.h"
#include "xml/XmlResultLog.h"
#include "xml/XmlScan.h"

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
    static constexpr size_t kPrefetchDistance = 1024;

    Outcome StartTag(size_t lt, XmlToken& token);
    Outcome EndTag(size_t lt, XmlToken& token);
    Outcome ProcessingInstruction(size_t lt, XmlToken& token);
    Outcome Exclamation(size_t lt, XmlToken& token);
    Outcome DocumentType(size_t lt, XmlToken& token);
    size_t SkipInternalSubset(size_t i) const;
    bool StartsAt(size_t i, std::u16string_view marker) const;
    template <char16_t First> size_t PastMarker(size_t from, std::u16string_view marker) const;
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

// The constructs that make up most documents are read inline: the parser
// calls these once per tag.

inline XmlTokenizer::XmlTokenizer(std::u16string_view text, size_t begin, size_t end,
                                  XmlResultLog* log)
    : text_(text.data()), pos_(begin), end_(end), openTail_(end), log_(log) {}

[[gnu::always_inline]] inline bool XmlTokenizer::Next(XmlToken& token) {
    while (pos_ < end_) {
        // Large documents outgrow the caches; fetch well ahead of the scan.
        if (pos_ + kPrefetchDistance < end_) {
            __builtin_prefetch(text_ + pos_ + kPrefetchDistance);
        }
        const size_t lt = xmlscan::FindFirst<u'<'>(text_, pos_, end_);
        if (lt == end_) {
            pos_ = end_;
            return false;
        }
        Outcome outcome = Outcome::Text;
        if (lt + 1 == end_) {
            outcome = Unterminated(u"tag", lt);
        } else {
            const char16_t c = text_[lt + 1];
            if (xmlscan::IsNameStart(c)) {
                outcome = StartTag(lt, token);
            } else if (c == u'/') {
                outcome = EndTag(lt, token);
            } else if (c == u'?') {
                outcome = ProcessingInstruction(lt, token);
            } else if (c == u'!') {
                outcome = Exclamation(lt, token);
            } else {
                outcome = Syntax(u"first_tag_syntax", lt);
            }
        }
        switch (outcome) {
        case Outcome::Found:
            pos_ = token.offset + token.length;
            return true;
        case Outcome::Unterminated:
            openTail_ = lt;
            pos_ = end_;
            return false;
        case Outcome::Text:
            pos_ = lt + 1;
            break;
        }
    }
    return false;
}

[[gnu::always_inline]] inline XmlTokenizer::Outcome XmlTokenizer::StartTag(size_t lt,
                                                                           XmlToken& token) {
    size_t i = lt + 1;
    while (i < end_ && !xmlscan::IsNameEnd(text_[i])) {
        ++i;
    }
    const size_t nameLength = i - (lt + 1);
    // Quoted attribute values are skipped whole: a ">" inside them does not end the tag.
    // Tags are short, so a plain loop beats setting up a vector search.
    while (true) {
        if (i >= end_) {
            return Unterminated(u"start_tag", lt);
        }
        const char16_t c = text_[i];
        if (c == u'>') {
            break;
        }
        if (c == u'"' || c == u'\'') {
            size_t k = i + 1;
            while (k < end_ && text_[k] != c) {
                ++k;
            }
            if (k >= end_) {
                return Unterminated(u"start_tag", lt);
            }
            i = k;
        }
        ++i;
    }
    Found(token, XmlTokenType::StartTag, lt, i + 1);
    token.nameLength = static_cast<uint32_t>(nameLength);
    token.emptyElement = text_[i - 1] == u'/';
    return Outcome::Found;
}

[[gnu::always_inline]] inline XmlTokenizer::Outcome XmlTokenizer::EndTag(size_t lt,
                                                                         XmlToken& token) {
    size_t i = lt + 2;
    while (i < end_ && !xmlscan::IsNameEnd(text_[i])) {
        ++i;
    }
    const size_t nameLength = i - (lt + 2);
    while (i < end_ && text_[i] != u'>') {
        ++i;
    }
    if (i >= end_) {
        return Unterminated(u"end_tag", lt);
    }
    Found(token, XmlTokenType::EndTag, lt, i + 1);
    token.nameLength = static_cast<uint32_t>(nameLength);
    return Outcome::Found;
}

// Just past the quote that closes the one at `quote`, or the end of the range.
inline size_t XmlTokenizer::SkipQuoted(size_t quote) const {
    const char16_t q = text_[quote];
    const size_t close = q == u'"' ? xmlscan::FindFirst<u'"'>(text_, quote + 1, end_)
                                   : xmlscan::FindFirst<u'\''>(text_, quote + 1, end_);
    return close == end_ ? end_ : close + 1;
}

inline XmlTokenizer::Outcome XmlTokenizer::Found(XmlToken& token, XmlTokenType type, size_t lt,
                                                 size_t end) {
    token.type = type;
    token.offset = static_cast<uint32_t>(lt);
    token.length = static_cast<uint32_t>(end - lt);
    token.nameLength = 0;
    token.emptyElement = false;
    return Outcome::Found;
}

} // namespace quorlex
