#include "xml/XmlNodeIndex.h"

#include <algorithm>

namespace quorlex {

XmlNodeIndex::XmlNodeIndex() {
    Reset(1);
}

void XmlNodeIndex::Reset(uint32_t expected) {
    expected = std::max<uint32_t>(expected, 1);
    if (expected > capacity_) {
        blocks_.clear();
        capacity_ = 0;
        if (expected <= kBlockSize) {
            ResizeFirstBlock(expected);
        } else {
            const uint64_t count = (uint64_t{expected} + kBlockSize - 1) / kBlockSize;
            for (uint64_t b = 0; b < count; ++b) {
                blocks_.push_back(std::make_unique_for_overwrite<XmlNode[]>(kBlockSize));
            }
            capacity_ = static_cast<uint32_t>(std::min<uint64_t>(count * kBlockSize, UINT32_MAX));
        }
    }
    nextFree_ = 1;
    longTags_.clear();
    (*this)[0] = XmlNode{};
}

void XmlNodeIndex::Grow() {
    const uint64_t wanted = std::max<uint64_t>(uint64_t{capacity_} + capacity_ / 2, capacity_ + 1);
    if (wanted <= kBlockSize) {
        ResizeFirstBlock(static_cast<uint32_t>(wanted));
        return;
    }
    if (capacity_ < kBlockSize) {
        ResizeFirstBlock(kBlockSize);
    }
    const uint64_t limit = std::min<uint64_t>(wanted, uint64_t{UINT32_MAX} + 1);
    while (uint64_t{blocks_.size()} * kBlockSize < limit) {
        blocks_.push_back(std::make_unique_for_overwrite<XmlNode[]>(kBlockSize));
    }
    capacity_ = static_cast<uint32_t>(
        std::min<uint64_t>(blocks_.size() * uint64_t{kBlockSize}, UINT32_MAX));
}

void XmlNodeIndex::ResizeFirstBlock(uint32_t size) {
    auto block = std::make_unique_for_overwrite<XmlNode[]>(size);
    if (!blocks_.empty()) {
        std::copy_n(blocks_[0].get(), std::min(nextFree_, capacity_), block.get());
        blocks_[0] = std::move(block);
    } else {
        blocks_.push_back(std::move(block));
    }
    capacity_ = size;
}

uint32_t XmlNodeIndex::LongTag(uint32_t i, uint32_t packed, bool start) const {
    const auto it = longTags_.find(i);
    if (it == longTags_.end()) {
        return packed;
    }
    return start ? it->second.first : it->second.second;
}

void XmlNodeIndex::SetLongTag(uint32_t i, uint32_t startTag, uint32_t endTag) {
    const bool longStart = startTag >= kMaxStartTag;
    const bool longEnd = endTag >= kMaxEndTag;
    (*this)[i].tagLengths =
        (longStart ? kMaxStartTag : startTag) | ((longEnd ? kMaxEndTag : endTag) << 22);
    if (longStart || longEnd) {
        longTags_[i] = {startTag, endTag};
    } else {
        longTags_.erase(i);
    }
}

} // namespace quorlex
