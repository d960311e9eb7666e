#include "xml/XmlTokenizer.h"

#include "xml/XmlScan.h"

namespace quorlex {

using namespace xmlscan;

XmlTokenizer::Outcome XmlTokenizer::ProcessingInstruction(size_t lt, XmlToken& token) {
    return Delimited<u'?'>(lt, lt + 2, u"?>", XmlTokenType::ProcessingInstruction,
                           u"processing_instruction", token);
}

XmlTokenizer::Outcome XmlTokenizer::Exclamation(size_t lt, XmlToken& token) {
    const size_t i = lt + 2;
    if (i == end_) {
        return Unterminated(u"tag", lt);
    }
    const char16_t c = text_[i];
    if (c == u'-') {
        if (i + 1 == end_) {
            return Unterminated(u"comment", lt);
        }
        if (text_[i + 1] != u'-') {
            return Syntax(u"comment_tag_syntax", lt);
        }
        return Delimited<u'-'>(lt, i + 2, u"-->", XmlTokenType::Comment, u"comment", token);
    }
    if (c == u'[') {
        constexpr std::u16string_view kOpening = u"[CDATA[";
        const std::u16string_view rest(text_ + i, std::min(end_ - i, kOpening.size()));
        if (rest == kOpening) {
            return Delimited<u']'>(lt, i + kOpening.size(), u"]]>", XmlTokenType::CData,
                                   u"cdata_section", token);
        }
        if (kOpening.starts_with(rest)) {
            return Unterminated(u"cdata_section", lt);
        }
        return Syntax(u"cdata_section_syntax", lt);
    }
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
        return DocumentType(lt, token);
    }
    return Syntax(u"exclamation_tag_syntax", lt);
}

XmlTokenizer::Outcome XmlTokenizer::DocumentType(size_t lt, XmlToken& token) {
    size_t i = lt + 2;
    while (i < end_ &&
           ((text_[i] >= u'A' && text_[i] <= u'Z') || (text_[i] >= u'a' && text_[i] <= u'z'))) {
        ++i;
    }
    if (std::u16string_view(text_ + lt + 2, i - (lt + 2)) != u"DOCTYPE") {
        // Read on as a declaration all the same: "<!doctype html>" is common.
        Syntax(u"doctype_tag_syntax", lt);
    }
    while (i < end_ && text_[i] != u'>') {
        if (text_[i] == u'"' || text_[i] == u'\'') {
            i = SkipQuoted(i);
        } else if (text_[i] == u'[') {
            i = SkipInternalSubset(i + 1);
        } else {
            ++i;
        }
    }
    if (i >= end_) {
        return Unterminated(u"document_type", lt);
    }
    return Found(token, XmlTokenType::DocumentType, lt, i + 1);
}

// From inside "[" to just past the matching "]"; the end of the range when
// there is none. Declarations in the subset may quote "]" or hide it in
// comments and processing instructions, whose own quotes open nothing.
size_t XmlTokenizer::SkipInternalSubset(size_t i) const {
    while (i < end_) {
        const char16_t c = text_[i];
        if (c == u']') {
            return i + 1;
        }
        if (c == u'"' || c == u'\'') {
            i = SkipQuoted(i);
        } else if (StartsAt(i, u"<!--")) {
            i = PastMarker<u'-'>(i + 4, u"-->");
        } else if (StartsAt(i, u"<?")) {
            i = PastMarker<u'?'>(i + 2, u"?>");
        } else {
            ++i;
        }
    }
    return end_;
}

bool XmlTokenizer::StartsAt(size_t i, std::u16string_view marker) const {
    return std::u16string_view(text_ + i, std::min(marker.size(), end_ - i)) == marker;
}

template <char16_t First>
size_t XmlTokenizer::PastMarker(size_t from, std::u16string_view marker) const {
    const size_t close = FindMarker<First>(text_, from, end_, marker);
    return close == end_ ? end_ : close + marker.size();
}

template <char16_t First>
XmlTokenizer::Outcome XmlTokenizer::Delimited(size_t lt, size_t from, std::u16string_view marker,
                                              XmlTokenType type, std::u16string_view typeName,
                                              XmlToken& token) {
    const size_t close = FindMarker<First>(text_, from, end_, marker);
    if (close == end_) {
        return Unterminated(typeName, lt);
    }
    return Found(token, type, lt, close + marker.size());
}

XmlTokenizer::Outcome XmlTokenizer::Syntax(std::u16string_view result, size_t lt) {
    if (log_ != nullptr) {
        log_->Add(result, {{u"offset", static_cast<int64_t>(lt)}});
    }
    return Outcome::Text;
}

XmlTokenizer::Outcome XmlTokenizer::Unterminated(std::u16string_view typeName, size_t lt) {
    if (log_ != nullptr) {
        log_->Add(u"unterminated_tag_syntax",
                  {{u"type", typeName}, {u"offset", static_cast<int64_t>(lt)}});
    }
    return Outcome::Unterminated;
}

} // namespace quorlex
