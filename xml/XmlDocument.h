#pragma once

#include "xml/XmlNodeIndex.h"
#include "xml/XmlResultLog.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quorlex {

// The program's own XML engine: the whole document as one UTF-16 text plus
// an index of its elements, walked with a three-level cursor (parent,
// current, child). Elements are added by splicing text; nothing is ever
// rebuilt into a tree of objects. No operation throws; GetResult() tells
// what the last parse or file operation found.
class XmlDocument {
public:
    XmlDocument();

    // Replaces the text and parses it. True when it holds exactly one top-level element.
    bool SetDocument(std::u16string_view text = {});
    // Reads and decodes a file (or its bytes), then parses. False only when
    // the file cannot be read, logged as "file_error"; what the parse found
    // is in the log.
    bool LoadFile(const std::filesystem::path& path);
    bool LoadBytes(std::string_view bytes);
    // Encodes the text and replaces the file with it atomically.
    bool SaveFile(const std::filesystem::path& path);

    bool FindElement(std::u16string_view name = {});
    bool FindChildElement(std::u16string_view name = {});
    bool EnterElement();
    // Steps back up one level: current becomes the old parent, child the old current.
    bool LeaveElement();

    std::u16string GetTagName() const;
    std::u16string GetChildTagName() const;
    std::u16string GetElementData() const;
    std::u16string GetChildData() const;

    bool AddElement(std::u16string_view name, std::u16string_view data = {});
    bool AddChildElement(std::u16string_view name, std::u16string_view data = {});

    const std::u16string& GetResult() const { return log_.Text(); }
    const std::u16string& GetDocument() const { return text_; }

    uint32_t GetDocFlags() const { return docFlags_; }
    void SetDocFlags(uint32_t flags) { docFlags_ = flags; }

    // The cursor and the index, for tools that walk the index themselves.
    uint32_t ParentNode() const { return parent_; }
    uint32_t CurrentNode() const { return current_; }
    uint32_t ChildNode() const { return child_; }
    const XmlNodeIndex& Index() const { return index_; }

private:
    bool Parse();
    bool LoadDecoded(std::string_view bytes);
    bool Streaming() const;
    bool IgnoreCase() const;
    uint32_t FindAmongChildren(uint32_t parent, uint32_t after, std::u16string_view name) const;
    bool NameIs(uint32_t node, std::u16string_view name) const;
    std::u16string TagName(uint32_t node) const;
    void LogFileError(const std::u16string& what, int number);

    std::u16string text_;
    XmlResultLog log_;
    uint32_t parent_ = 0;
    uint32_t current_ = 0;
    uint32_t child_ = 0;
    int nodeType_ = 0;
    uint32_t docFlags_ = 0;
    size_t openTail_ = 0;
    XmlNodeIndex index_;
};

} // namespace quorlex
