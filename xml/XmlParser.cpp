#include "xml/XmlParser.h"

#include "xml/XmlScan.h"

#include <algorithm>

namespace quorlex {

namespace {

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

uint32_t LevelBelow(const XmlNode& parent) {
    return std::min<uint32_t>(parent.Level() + 1, XmlNode::kLevelMask);
}

} // namespace

bool SameTagName(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
    if (a.size() != b.size()) {
        return false;
    }
    if (!ignoreCase) {
        return a == b;
    }
    return std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

void InsertAfter(XmlNodeIndex& index, uint32_t sibling, uint32_t node) {
    XmlNode& s = index[sibling];
    XmlNode& n = index[node];
    n.parent = s.parent;
    n.prevSibling = sibling;
    n.nextSibling = s.nextSibling;
    n.levelFlags &= ~XmlNode::kFirstChild;
    if (s.nextSibling != 0) {
        index[s.nextSibling].prevSibling = node;
    } else {
        index[index[s.parent].firstChild].prevSibling = node;
    }
    s.nextSibling = node;
}

XmlParser::XmlParser(std::u16string_view text, XmlNodeIndex& index, XmlResultLog& log,
                     bool ignoreCase)
    : text_(text), index_(index), log_(log), ignoreCase_(ignoreCase), openTail_(text.size()) {}

inline bool XmlParser::SameName(const OpenElement& open, std::u16string_view name) const {
    if (open.nameLength != name.size()) {
        return false;
    }
    if (ignoreCase_) {
        return SameTagName(text_.substr(open.nameOffset, open.nameLength), name, true);
    }
    // End tags are matched millions of times in large documents; a plain
    // loop over a few characters beats a library call.
    const char16_t* a = text_.data() + open.nameOffset;
    for (size_t i = 0; i < name.size(); ++i) {
        if (a[i] != name[i]) {
            return false;
        }
    }
    return true;
}

inline void XmlParser::OnStartTag(const XmlToken& token) {
    const uint32_t parent = stack_.empty() ? 0 : stack_.back().node;
    uint32_t& last = stack_.empty() ? topLevelLast_ : stack_.back().lastChild;
    const uint32_t level =
        std::min<uint32_t>(static_cast<uint32_t>(stack_.size()) + 1, XmlNode::kLevelMask);
    // The circular link of a list is written once, when its parent closes:
    // the first child of a long list is far back in memory by then.
    const uint32_t node =
        index_.Allocate({token.offset, token.emptyElement ? token.length : 0, 0,
                         level | (last == 0 ? XmlNode::kFirstChild : 0), parent, 0, 0, last});
    index_.SetTagLengths(node, token.length, 0);
    if (last == 0) {
        index_[parent].firstChild = node;
    } else {
        index_[last].nextSibling = node;
    }
    last = node;
    if (!token.emptyElement) {
        stack_.push_back({node, token.offset + 1, token.nameLength, token.length, 0});
    }
}

inline void XmlParser::OnEndTag(const XmlToken& token) {
    const std::u16string_view name = text_.substr(token.offset + 2, token.nameLength);
    for (size_t k = stack_.size(); k-- > 0;) {
        if (SameName(stack_[k], name)) {
            if (k + 1 < stack_.size()) {
                CloseUnended(k + 1, token.offset);
            }
            const OpenElement& open = stack_[k];
            XmlNode& n = index_[open.node];
            n.length = token.offset + token.length - n.offset;
            index_.SetTagLengths(open.node, open.startTag, token.length);
            CloseChildList(open.node, open.lastChild);
            stack_.pop_back();
            return;
        }
    }
    MarkIllFormed(stack_.empty() ? 0 : stack_.back().node);
    log_.Add(u"lone_end_tag",
             {{u"tagname", name}, {u"offset", static_cast<int64_t>(token.offset)}});
}

uint32_t XmlParser::Run() {
    index_.Reset(static_cast<uint32_t>(text_.size() / 64 + 8));
    index_[0].length = static_cast<uint32_t>(text_.size());
    stack_.clear();
    topLevelLast_ = 0;
    XmlTokenizer tokenizer(text_, 0, text_.size(), &log_);
    XmlToken token;
    while (tokenizer.Next(token)) {
        if (token.type == XmlTokenType::StartTag) {
            OnStartTag(token);
        } else if (token.type == XmlTokenType::EndTag) {
            OnEndTag(token);
        }
    }
    openTail_ = tokenizer.OpenTail();
    CloseUnended(0, text_.size());
    CloseChildList(0, topLevelLast_);
    if (levelsMoved_) {
        FixLevels();
    }
    return CheckRoot();
}

// The first child's previous-sibling word closes the list into a circle.
void XmlParser::CloseChildList(uint32_t node, uint32_t last) {
    const uint32_t first = index_[node].firstChild;
    if (first != 0) {
        index_[first].prevSibling = last;
    }
}

// Closes stack entries [from, top] as unended start tags, found at text position `at`.
void XmlParser::CloseUnended(size_t from, size_t at) {
    if (from >= stack_.size()) {
        return;
    }
    for (size_t k = stack_.size(); k-- > from;) {
        const OpenElement& open = stack_[k];
        log_.Add(u"unended_start_tag",
                 {{u"tagname", text_.substr(open.nameOffset, open.nameLength)},
                  {u"offset", static_cast<int64_t>(open.nameOffset - 1)},
                  {u"offset2", static_cast<int64_t>(at)}});
    }
    // Outermost first: every would-be child then moves up exactly once, to
    // the end of the child list of the element that stays open.
    uint32_t& parentLast = from == 0 ? topLevelLast_ : stack_[from - 1].lastChild;
    for (size_t k = from; k < stack_.size(); ++k) {
        const uint32_t node = stack_[k].node;
        if (index_[node].firstChild != 0) {
            MoveChildrenUp(node, stack_[k].lastChild);
            parentLast = stack_[k].lastChild;
        }
        XmlNode& n = index_[node];
        n.levelFlags |= XmlNode::kUnended;
        n.length = index_.StartTagLength(node);
        MarkIllFormed(node);
    }
    stack_.resize(from);
}

// The children of an open element become its following siblings. The element
// is the last child of its parent, so they go to the end of the parent's list.
void XmlParser::MoveChildrenUp(uint32_t node, uint32_t last) {
    XmlNode& n = index_[node];
    const uint32_t first = n.firstChild;
    const uint32_t parent = n.parent;
    for (uint32_t c = first; c != 0; c = index_[c].nextSibling) {
        index_[c].parent = parent;
    }
    index_[last].nextSibling = 0;
    n.firstChild = 0;
    n.nextSibling = first;
    index_[first].prevSibling = node;
    index_[first].levelFlags &= ~XmlNode::kFirstChild;
    levelsMoved_ = true;
}

// Marks the element and flags every ancestor; an ancestor already flagged has
// flagged ancestors, so the walk stops there.
void XmlParser::MarkIllFormed(uint32_t node) {
    index_[node].levelFlags |= XmlNode::kIllFormed;
    uint32_t a = node;
    while (a != 0) {
        a = index_[a].parent;
        if (index_[a].Has(XmlNode::kHoldsIllFormed)) {
            return;
        }
        index_[a].levelFlags |= XmlNode::kHoldsIllFormed;
    }
}

// A parent is always created before its children, so one pass in node order
// settles the levels of moved elements and all below them.
void XmlParser::FixLevels() {
    for (uint32_t i = 1; i < index_.NextFree(); ++i) {
        XmlNode& n = index_[i];
        n.levelFlags = (n.levelFlags & ~XmlNode::kLevelMask) | LevelBelow(index_[n.parent]);
    }
}

uint32_t XmlParser::CheckRoot() {
    const uint32_t root = index_[0].firstChild;
    if (root == 0) {
        log_.Add(u"no_root_element");
        return 0;
    }
    uint32_t count = 1;
    const uint32_t sibling = index_[root].nextSibling;
    if (sibling != 0) {
        const uint32_t offset = index_[sibling].offset;
        log_.Add(u"root_has_sibling", {{u"tagname", xmlscan::TagNameAt(text_, offset)},
                                       {u"offset", static_cast<int64_t>(offset)}});
        for (uint32_t c = sibling; c != 0; c = index_[c].nextSibling) {
            ++count;
        }
    }
    return count;
}

} // namespace quorlex
