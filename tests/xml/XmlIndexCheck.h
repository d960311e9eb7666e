#pragma once

// Shared by the tests and the fuzz targets: an independent look at a
// document's index, so that edits can be checked against a fresh parse.

#include "xml/XmlDocument.h"
#include "xml/XmlNode.h"

#include <string>
#include <utility>
#include <vector>

namespace quorlex::testing {

// Every element as one line "<depth spaces>name", followed by "=data" when it
// has no child elements, walked with the cursor operations alone.
inline size_t WalkElements(XmlDocument& doc, size_t depth, std::vector<std::u16string>& lines) {
    size_t count = 0;
    while (doc.FindElement()) {
        ++count;
        const size_t at = lines.size();
        // Appended rather than "+": GCC 12 at -O3 sees a false overlap in the latter.
        std::u16string line(depth, u' ');
        line += doc.GetTagName();
        lines.push_back(std::move(line));
        const std::u16string data = doc.GetElementData();
        if (!doc.EnterElement()) {
            lines.push_back(u"!enter failed");
            return count;
        }
        if (WalkElements(doc, depth + 1, lines) == 0) {
            lines[at] += u"=" + data;
        }
        if (!doc.LeaveElement()) {
            lines.push_back(u"!leave failed");
            return count;
        }
    }
    return count;
}

// The cursor must be at the document level with nothing current, as it is
// after SetDocument, LoadFile and LoadBytes.
inline std::vector<std::u16string> ElementLines(XmlDocument& doc) {
    std::vector<std::u16string> lines;
    WalkElements(doc, 0, lines);
    return lines;
}

// Compares the subtrees under node a of x and node b of y word by word,
// apart from node numbers and the ill-formed marks. Returns the first
// difference, empty when there is none.
inline std::string CompareSubtrees(const XmlNodeIndex& x, uint32_t a, const XmlNodeIndex& y,
                                   uint32_t b) {
    constexpr uint32_t kCompared = XmlNode::kLevelMask | XmlNode::kFirstChild | XmlNode::kUnended;
    const XmlNode& n = x[a];
    const XmlNode& m = y[b];
    const std::string where = " at offset " + std::to_string(n.offset);
    if (n.offset != m.offset) {
        return "offset " + std::to_string(n.offset) + " vs " + std::to_string(m.offset);
    }
    if (n.length != m.length) {
        return "length " + std::to_string(n.length) + " vs " + std::to_string(m.length) + where;
    }
    if (x.StartTagLength(a) != y.StartTagLength(b) || x.EndTagLength(a) != y.EndTagLength(b)) {
        return "tag lengths" + where;
    }
    if ((n.levelFlags & kCompared) != (m.levelFlags & kCompared)) {
        return "level or flags" + where;
    }
    uint32_t c = n.firstChild;
    uint32_t d = m.firstChild;
    uint32_t lastC = 0;
    while (c != 0 && d != 0) {
        if (x[c].parent != a || y[d].parent != b) {
            return "parent link" + where;
        }
        if (lastC != 0 && x[c].prevSibling != lastC) {
            return "previous sibling link" + where;
        }
        const std::string inner = CompareSubtrees(x, c, y, d);
        if (!inner.empty()) {
            return inner;
        }
        lastC = c;
        c = x[c].nextSibling;
        d = y[d].nextSibling;
    }
    if (c != 0 || d != 0) {
        return "child count" + where;
    }
    if (n.firstChild != 0 && x[n.firstChild].prevSibling != lastC) {
        return "circular link to the last child" + where;
    }
    return {};
}

// The document's index against the index a fresh parse of its text builds.
inline std::string CompareWithReparse(const XmlDocument& doc) {
    XmlDocument fresh;
    fresh.SetDocFlags(doc.GetDocFlags());
    fresh.SetDocument(doc.GetDocument());
    if (doc.Index()[0].length != doc.GetDocument().size()) {
        return "document length";
    }
    return CompareSubtrees(doc.Index(), 0, fresh.Index(), 0);
}

} // namespace quorlex::testing
