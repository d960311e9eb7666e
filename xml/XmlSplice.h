#pragma once

#include "xml/XmlNodeIndex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// Adds elements by splicing their text into the document and updating the
// index in place, so that the index stays what a fresh parse would build.
class XmlSplice {
public:
    // openTail: where an unterminated construct at the end of the text begins
    // (the text's length when there is none); kept current by every insertion.
    XmlSplice(std::u16string& text, XmlNodeIndex& index, size_t& openTail)
        : text_(text), index_(index), openTail_(openTail) {}

    // Inserts <name>data</name> (or <name/>) and a line end under `parent`,
    // after its child `after`, or as its last child when `after` is 0.
    // Returns the new node; 0 when the name is not a valid tag name or the
    // text would grow too long.
    uint32_t Insert(uint32_t parent, uint32_t after, std::u16string_view name,
                    std::u16string_view data);

    static bool IsValidName(std::u16string_view name);

    // The longest text the 32-bit index can address.
    static constexpr size_t kMaxText = 0x7FFFFFFF;

private:
    struct Placement {
        size_t position = 0;
        size_t removed = 0;
        std::u16string insert;
        size_t nodeOffset = 0;
        bool reshapeParent = false;
        uint32_t parentStartTag = 0;
        uint32_t parentEndTag = 0;
    };

    Placement PlaceAfter(uint32_t sibling, std::u16string element) const;
    Placement PlaceUnder(uint32_t parent, std::u16string element) const;
    size_t SkipToMarkup(size_t pos) const;
    void Splice(const Placement& placement, uint32_t parent);

    std::u16string& text_;
    XmlNodeIndex& index_;
    size_t& openTail_;
};

} // namespace quorlex
