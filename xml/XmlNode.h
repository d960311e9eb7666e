#pragma once

#include <cstdint>

namespace quorlex {

// One element of the index: eight 32-bit words, so that a node costs 32
// bytes whatever the document. Plain words without initialisers: blocks of
// nodes are allocated without being cleared, and XmlNode{} is all zero.
struct XmlNode {
    uint32_t offset;      // the element's "<" in the text
    uint32_t length;      // start tag to the end of the end tag
    uint32_t tagLengths;  // bits 0-21 start tag, bits 22-31 end tag
    uint32_t levelFlags;  // bits 0-15 nesting level, plus the flags below
    uint32_t parent;      // 0 = document level
    uint32_t firstChild;  // 0 = none
    uint32_t nextSibling; // 0 = last
    uint32_t prevSibling; // circular: the first child holds the last child

    uint32_t Level() const { return levelFlags & kLevelMask; }
    bool Has(uint32_t flag) const { return (levelFlags & flag) != 0; }

    static constexpr uint32_t kLevelMask = 0xFFFF;
    static constexpr uint32_t kFirstChild = 0x80000;
    static constexpr uint32_t kUnended = 0x100000;
    static constexpr uint32_t kIllFormed = 0x200000;
    static constexpr uint32_t kHoldsIllFormed = 0x800000;
};

// Kinds of markup the tokenizer reports, numbered as the node types of the
// engine's log and cursor.
enum class XmlTokenType : uint8_t {
    EndTag = 0,
    StartTag = 1,
    Text = 2,
    CData = 8,
    ProcessingInstruction = 16,
    Comment = 32,
    DocumentType = 64,
};

// Options in XmlDocument's docFlags.
namespace XmlDocFlags {
inline constexpr uint32_t kUtf16Le = 0x1;
inline constexpr uint32_t kUtf8Bom = 0x4;
inline constexpr uint32_t kIgnoreCase = 0x8;
inline constexpr uint32_t kReadStream = 0x10;
inline constexpr uint32_t kWriteStream = 0x20;
inline constexpr uint32_t kUtf16Be = 0x80;
inline constexpr uint32_t kTrimWhitespace = 0x100;
inline constexpr uint32_t kCollapseWhitespace = 0x200;
inline constexpr uint32_t kByteOrderMarks = kUtf16Le | kUtf8Bom | kUtf16Be;
inline constexpr uint32_t kStreaming = kReadStream | kWriteStream;
} // namespace XmlDocFlags

} // namespace quorlex
