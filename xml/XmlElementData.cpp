#include "xml/XmlElementData.h"

#include "xml/XmlEntities.h"
#include "xml/XmlNode.h"
#include "xml/XmlScan.h"
#include "xml/XmlTokenizer.h"

namespace quorlex {

std::u16string ElementData(std::u16string_view text, const XmlNodeIndex& index, uint32_t node,
                           uint32_t docFlags) {
    std::u16string data;
    if (node == 0 || index[node].firstChild != 0) {
        return data;
    }
    const XmlNode& n = index[node];
    const size_t begin = n.offset + index.StartTagLength(node);
    const size_t end = n.offset + n.length - index.EndTagLength(node);
    if (end <= begin || end > text.size()) {
        return data;
    }
    constexpr size_t kCDataOpening = 9; // "<![CDATA["
    constexpr size_t kCDataClosing = 3; // "]]>"
    XmlTokenizer tokenizer(text, begin, end, nullptr);
    XmlToken token;
    size_t pos = begin;
    while (tokenizer.Next(token)) {
        AppendUnescaped(text.substr(pos, token.offset - pos), data);
        if (token.type == XmlTokenType::CData) {
            data.append(text.substr(token.offset + kCDataOpening,
                                    token.length - kCDataOpening - kCDataClosing));
        }
        pos = token.offset + token.length;
    }
    AppendUnescaped(text.substr(pos, end - pos), data);
    if ((docFlags & (XmlDocFlags::kTrimWhitespace | XmlDocFlags::kCollapseWhitespace)) != 0) {
        return TrimWhitespace(data, (docFlags & XmlDocFlags::kCollapseWhitespace) != 0);
    }
    return data;
}

std::u16string TrimWhitespace(std::u16string_view data, bool collapse) {
    size_t begin = 0;
    size_t end = data.size();
    while (begin < end && xmlscan::IsSpace(data[begin])) {
        ++begin;
    }
    while (end > begin && xmlscan::IsSpace(data[end - 1])) {
        --end;
    }
    data = data.substr(begin, end - begin);
    if (!collapse) {
        return std::u16string(data);
    }
    std::u16string out;
    out.reserve(data.size());
    bool inRun = false;
    for (const char16_t c : data) {
        if (xmlscan::IsSpace(c)) {
            inRun = true;
            continue;
        }
        if (inRun) {
            out += u' ';
            inRun = false;
        }
        out += c;
    }
    return out;
}

} // namespace quorlex
