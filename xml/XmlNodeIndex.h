#pragma once

#include "xml/XmlNode.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorlex {

// The element index: nodes in blocks of 65,536, addressed by a 32-bit number
// whose high half selects the block. Node 0 is the document itself.
class XmlNodeIndex {
public:
    static constexpr uint32_t kBlockSize = 0x10000;
    static constexpr uint32_t kMaxStartTag = 0x3FFFFF;
    static constexpr uint32_t kMaxEndTag = 0x3FF;

    XmlNodeIndex();

    // Back to node 0 alone, with room for at least `expected` nodes.
    void Reset(uint32_t expected);

    // Stores a new node and returns its number; the index grows by half when full.
    uint32_t Allocate(const XmlNode& node) {
        if (nextFree_ >= capacity_) {
            Grow();
        }
        const uint32_t i = nextFree_++;
        (*this)[i] = node;
        return i;
    }

    uint32_t NextFree() const { return nextFree_; }
    uint32_t Capacity() const { return capacity_; }
    size_t BlockCount() const { return blocks_.size(); }

    XmlNode& operator[](uint32_t i) { return blocks_[i >> 16][i & 0xFFFF]; }
    const XmlNode& operator[](uint32_t i) const { return blocks_[i >> 16][i & 0xFFFF]; }

    // Tag lengths are packed into one word; the rare tag too long for its
    // bits keeps its true length aside so that no position is ever wrong.
    uint32_t StartTagLength(uint32_t i) const {
        const uint32_t packed = (*this)[i].tagLengths & kMaxStartTag;
        return packed != kMaxStartTag ? packed : LongTag(i, packed, true);
    }
    uint32_t EndTagLength(uint32_t i) const {
        const uint32_t packed = (*this)[i].tagLengths >> 22;
        return packed != kMaxEndTag ? packed : LongTag(i, packed, false);
    }
    void SetTagLengths(uint32_t i, uint32_t startTag, uint32_t endTag) {
        if (startTag < kMaxStartTag && endTag < kMaxEndTag && longTags_.empty()) {
            (*this)[i].tagLengths = startTag | (endTag << 22);
        } else {
            SetLongTag(i, startTag, endTag);
        }
    }

private:
    uint32_t LongTag(uint32_t i, uint32_t packed, bool start) const;
    void SetLongTag(uint32_t i, uint32_t startTag, uint32_t endTag);
    void Grow();
    void ResizeFirstBlock(uint32_t size);

    std::vector<std::unique_ptr<XmlNode[]>> blocks_;
    uint32_t capacity_ = 0;
    uint32_t nextFree_ = 1;
    std::unordered_map<uint32_t, std::pair<uint32_t, uint32_t>> longTags_;
};

} // namespace quorlex
