#include "xml/XmlSplice.h"

#include "xml/XmlEntities.h"
#include "xml/XmlParser.h"
#include "xml/XmlScan.h"

#include <algorithm>
#include <initializer_list>

namespace quorlex {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

std::u16string ElementText(std::u16string_view name, std::u16string_view data) {
    std::u16string element;
    element.reserve(name.size() * 2 + data.size() + 8);
    element += u'<';
    element += name;
    if (data.empty()) {
        element += u"/>";
    } else {
        element += u'>';
        AppendEscaped(data, element);
        element += u"</";
        element += name;
        element += u'>';
    }
    element += kLineEnd;
    return element;
}

std::u16string Joined(std::initializer_list<std::u16string_view> parts) {
    std::u16string joined;
    for (const std::u16string_view part : parts) {
        joined += part;
    }
    return joined;
}

} // namespace

bool XmlSplice::IsValidName(std::u16string_view name) {
    if (name.empty() || !xmlscan::IsNameStart(name[0])) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char16_t c) {
        return c <= u' ' || c == 0x7F ||
               std::u16string_view(u"/<>&\"'=").find(c) != std::u16string_view::npos;
    });
}

uint32_t XmlSplice::Insert(uint32_t parent, uint32_t after, std::u16string_view name,
                           std::u16string_view data) {
    if (!IsValidName(name)) {
        return 0;
    }
    if (after != 0) {
        parent = index_[after].parent;
    }
    std::u16string element = ElementText(name, data);
    const auto elementLength = static_cast<uint32_t>(element.size() - kLineEnd.size());
    const Placement placement =
        after != 0 ? PlaceAfter(after, std::move(element)) : PlaceUnder(parent, std::move(element));
    if (text_.size() - placement.removed + placement.insert.size() > kMaxText) {
        return 0;
    }
    Splice(placement, parent);

    const uint32_t level =
        parent == 0 ? 1 : std::min(index_[parent].Level() + 1, XmlNode::kLevelMask);
    const uint32_t node = index_.Allocate(
        {static_cast<uint32_t>(placement.nodeOffset), elementLength, 0, level, parent, 0, 0, 0});
    const bool empty = data.empty();
    index_.SetTagLengths(node, empty ? elementLength : static_cast<uint32_t>(name.size()) + 2,
                         empty ? 0 : static_cast<uint32_t>(name.size()) + 3);
    if (after != 0) {
        InsertAfter(index_, after, node);
    } else {
        AppendChild(index_, parent, node);
    }
    return node;
}

// Just past the sibling, and on over whitespace when markup or the end follows.
XmlSplice::Placement XmlSplice::PlaceAfter(uint32_t sibling, std::u16string element) const {
    const XmlNode& s = index_[sibling];
    Placement placement;
    placement.position = SkipToMarkup(s.offset + s.length);
    placement.nodeOffset = placement.position;
    placement.insert = std::move(element);
    return placement;
}

XmlSplice::Placement XmlSplice::PlaceUnder(uint32_t parent, std::u16string element) const {
    Placement placement;
    if (parent == 0) {
        // The end of the text, but never inside a construct left open there.
        placement.position = openTail_;
        placement.nodeOffset = openTail_;
        placement.insert = std::move(element);
        return placement;
    }
    const XmlNode& p = index_[parent];
    const uint32_t startTag = index_.StartTagLength(parent);
    const uint32_t endTag = index_.EndTagLength(parent);
    if (endTag != 0) {
        const size_t contentBegin = p.offset + startTag;
        const size_t endTagStart = p.offset + p.length - endTag;
        if (contentBegin == endTagStart) {
            placement.position = contentBegin;
            placement.nodeOffset = contentBegin + kLineEnd.size();
            placement.insert = Joined({kLineEnd, element});
        } else {
            placement.position = SkipToMarkup(endTagStart);
            placement.nodeOffset = placement.position;
            placement.insert = std::move(element);
        }
        return placement;
    }
    // An empty-element tag opens up into start tag, new line and end tag. A
    // start tag that was never ended gets its end tag after the new line.
    const std::u16string_view name = xmlscan::TagNameAt(text_, p.offset);
    const size_t close = p.offset + startTag - 1;
    size_t slash = close;
    if (!p.Has(XmlNode::kUnended)) {
        // The whole run of slashes goes: "<a//>" with one less would still be empty.
        while (text_[slash - 1] == u'/') {
            --slash;
        }
    }
    placement.reshapeParent = true;
    placement.parentEndTag = static_cast<uint32_t>(name.size()) + 3;
    if (slash < close) {
        placement.position = slash;
        placement.removed = close - slash;
        placement.nodeOffset = slash + 1 + kLineEnd.size();
        placement.insert = Joined({u">", kLineEnd, element, u"</", name});
        placement.parentStartTag = startTag - static_cast<uint32_t>(placement.removed);
    } else {
        placement.position = p.offset + startTag;
        placement.nodeOffset = placement.position + kLineEnd.size();
        placement.insert = Joined({kLineEnd, element, u"</", name, u">"});
        placement.parentStartTag = startTag;
    }
    return placement;
}

size_t XmlSplice::SkipToMarkup(size_t pos) const {
    size_t q = pos;
    while (q < text_.size() && xmlscan::IsSpace(text_[q])) {
        ++q;
    }
    return (q == text_.size() || text_[q] == u'<') ? q : pos;
}

// Moves the tail of the text and every position behind the splice point.
void XmlSplice::Splice(const Placement& placement, uint32_t parent) {
    const size_t required = text_.size() - placement.removed + placement.insert.size();
    if (required > text_.capacity()) {
        text_.reserve(required + required / 2 + 128);
    }
    text_.replace(placement.position, placement.removed, placement.insert);
    const auto delta = static_cast<uint32_t>(placement.insert.size() - placement.removed);
    const auto position = static_cast<uint32_t>(placement.position);
    for (uint32_t i = 1; i < index_.NextFree(); ++i) {
        if (index_[i].offset >= position) {
            index_[i].offset += delta;
        }
    }
    for (uint32_t a = parent; a != 0; a = index_[a].parent) {
        index_[a].length += delta;
    }
    index_[0].length = static_cast<uint32_t>(text_.size());
    openTail_ += delta;
    if (placement.reshapeParent) {
        index_.SetTagLengths(parent, placement.parentStartTag, placement.parentEndTag);
        index_[parent].levelFlags &= ~XmlNode::kUnended;
    }
}

} // namespace quorlex
