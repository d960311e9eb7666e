#include "xml/XmlDeclaration.h"

#include "xml/XmlScan.h"

#include <algorithm>

namespace quorlex {

namespace {

using xmlscan::IsSpace;

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

size_t SkipSpaces(std::u16string_view text, size_t i) {
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    return i;
}

std::u16string_view EncodingOfXmlDeclaration(std::u16string_view start) {
    constexpr std::u16string_view kOpening = u"<?xml";
    const size_t lt = SkipSpaces(start, 0);
    const std::u16string_view rest = start.substr(lt);
    if (!rest.starts_with(kOpening) || rest.size() == kOpening.size() ||
        !IsSpace(rest[kOpening.size()])) {
        return {};
    }
    const size_t close = rest.find(u"?>");
    XmlAttributeReader reader(rest.substr(kOpening.size(), close == std::u16string_view::npos
                                                               ? std::u16string_view::npos
                                                               : close - kOpening.size()));
    std::u16string_view name;
    std::u16string_view value;
    while (reader.Next(name, value)) {
        if (name == u"encoding") {
            return value;
        }
    }
    return {};
}

// "text/html; charset=gb2312" gives "gb2312".
std::u16string_view CharsetOfContentType(std::u16string_view content) {
    constexpr std::u16string_view kCharset = u"charset";
    for (size_t i = 0; i + kCharset.size() <= content.size(); ++i) {
        if (!EqualsIgnoringAsciiCase(content.substr(i, kCharset.size()), kCharset)) {
            continue;
        }
        size_t k = SkipSpaces(content, i + kCharset.size());
        if (k >= content.size() || content[k] != u'=') {
            continue;
        }
        k = SkipSpaces(content, k + 1);
        size_t end = k;
        while (end < content.size() && content[end] != u';' && !IsSpace(content[end]) &&
               content[end] != u'"' && content[end] != u'\'') {
            ++end;
        }
        return content.substr(k, end - k);
    }
    return {};
}

std::u16string_view CharsetOfMeta(std::u16string_view body) {
    XmlAttributeReader reader(body);
    std::u16string_view name;
    std::u16string_view value;
    bool contentType = false;
    std::u16string_view content;
    while (reader.Next(name, value)) {
        if (EqualsIgnoringAsciiCase(name, u"http-equiv")) {
            contentType = EqualsIgnoringAsciiCase(value, u"Content-Type");
        } else if (EqualsIgnoringAsciiCase(name, u"content")) {
            content = value;
        }
    }
    return contentType ? CharsetOfContentType(content) : std::u16string_view{};
}

std::u16string_view EncodingOfHtmlMeta(std::u16string_view start) {
    bool inHtml = false;
    bool inHead = false;
    size_t lt = start.find(u'<');
    while (lt != std::u16string_view::npos) {
        const size_t gt = std::min(start.find(u'>', lt), start.size());
        const std::u16string_view tag = start.substr(lt + 1, gt - lt - 1);
        const std::u16string_view name = tag.substr(0, tag.find_first_of(u" \t\r\n/"));
        if (EqualsIgnoringAsciiCase(name, u"html")) {
            inHtml = true;
        } else if (EqualsIgnoringAsciiCase(name, u"head")) {
            inHead = inHtml;
        } else if (EqualsIgnoringAsciiCase(name, u"/head")) {
            inHead = false;
        } else if (inHead && EqualsIgnoringAsciiCase(name, u"meta")) {
            const std::u16string_view charset = CharsetOfMeta(tag.substr(name.size()));
            if (!charset.empty()) {
                return charset;
            }
        }
        lt = gt < start.size() ? start.find(u'<', gt) : std::u16string_view::npos;
    }
    return {};
}

} // namespace

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return LowerAscii(x) == LowerAscii(y); });
}

std::u16string_view FindDeclaredEncoding(std::u16string_view start, bool htmlMeta) {
    const std::u16string_view declared = EncodingOfXmlDeclaration(start);
    if (!declared.empty() || !htmlMeta) {
        return declared;
    }
    return EncodingOfHtmlMeta(start);
}

bool XmlAttributeReader::Next(std::u16string_view& name, std::u16string_view& value) {
    SkipSpace();
    const size_t nameStart = pos_;
    while (pos_ < body_.size() && !IsSpace(body_[pos_]) && body_[pos_] != u'=' &&
           body_[pos_] != u'/' && body_[pos_] != u'>') {
        ++pos_;
    }
    if (pos_ == nameStart) {
        return false;
    }
    name = body_.substr(nameStart, pos_ - nameStart);
    value = {};
    SkipSpace();
    if (pos_ >= body_.size() || body_[pos_] != u'=') {
        return true;
    }
    ++pos_;
    SkipSpace();
    if (pos_ < body_.size() && (body_[pos_] == u'"' || body_[pos_] == u'\'')) {
        const size_t close = body_.find(body_[pos_], pos_ + 1);
        const size_t end = close == std::u16string_view::npos ? body_.size() : close;
        value = body_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = std::min(end + 1, body_.size());
        return true;
    }
    const size_t valueStart = pos_;
    while (pos_ < body_.size() && !IsSpace(body_[pos_]) && body_[pos_] != u'>') {
        ++pos_;
    }
    value = body_.substr(valueStart, pos_ - valueStart);
    return true;
}

void XmlAttributeReader::SkipSpace() {
    pos_ = SkipSpaces(body_, pos_);
}

} // namespace quorlex
