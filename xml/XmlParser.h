#pragma once

#include "xml/XmlNodeIndex.h"
#include "xml/XmlResultLog.h"
#include "xml/XmlTokenizer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorlex {

// Builds the element index of a whole text. Ill-formed documents parse as far
// as they go: a start tag that is never ended becomes an empty element whose
// would-be children follow it as siblings, and a lone end tag is skipped.
class XmlParser {
public:
    XmlParser(std::u16string_view text, XmlNodeIndex& index, XmlResultLog& log, bool ignoreCase);

    // Returns the number of top-level elements.
    uint32_t Run();

    // Where an unterminated construct at the end of the text begins, or the text's length.
    size_t OpenTail() const { return openTail_; }

private:
    struct OpenElement {
        uint32_t node;
        uint32_t nameOffset;
        uint32_t nameLength;
        uint32_t startTag;
        uint32_t lastChild;
    };

    // Once per tag of the document: kept inline in the scanning loop.
    [[gnu::always_inline]] inline void OnStartTag(const XmlToken& token);
    [[gnu::always_inline]] inline void OnEndTag(const XmlToken& token);
    void CloseUnended(size_t from, size_t at);
    void MoveChildrenUp(uint32_t node, uint32_t last);
    void CloseChildList(uint32_t node, uint32_t last);
    void MarkIllFormed(uint32_t node);
    void FixLevels();
    uint32_t CheckRoot();
    [[gnu::always_inline]] inline bool SameName(const OpenElement& open,
                                                std::u16string_view name) const;

    std::u16string_view text_;
    XmlNodeIndex& index_;
    XmlResultLog& log_;
    bool ignoreCase_;
    bool levelsMoved_ = false;
    size_t openTail_ = 0;
    uint32_t topLevelLast_ = 0;
    std::vector<OpenElement> stack_;
};

// Links `node` as the last child of `parent`.
inline void AppendChild(XmlNodeIndex& index, uint32_t parent, uint32_t node) {
    XmlNode& p = index[parent];
    XmlNode& n = index[node];
    n.parent = parent;
    n.nextSibling = 0;
    if (p.firstChild == 0) {
        p.firstChild = node;
        n.prevSibling = node;
        n.levelFlags |= XmlNode::kFirstChild;
        return;
    }
    XmlNode& first = index[p.firstChild];
    index[first.prevSibling].nextSibling = node;
    n.prevSibling = first.prevSibling;
    n.levelFlags &= ~XmlNode::kFirstChild;
    first.prevSibling = node;
}

// Links `node` into the sibling chain right after `sibling`.
void InsertAfter(XmlNodeIndex& index, uint32_t sibling, uint32_t node);

bool SameTagName(std::u16string_view a, std::u16string_view b, bool ignoreCase);

} // namespace quorlex
