#include "xml/XmlDocument.h"

#include "common/FileStore.h"
#include "xml/XmlElementData.h"
#include "xml/XmlFileDecoder.h"
#include "xml/XmlFileEncoder.h"
#include "xml/XmlParser.h"
#include "xml/XmlScan.h"
#include "xml/XmlSplice.h"

namespace quorlex {

namespace {

constexpr int kElementNode = 1;

} // namespace

XmlDocument::XmlDocument() = default;

bool XmlDocument::SetDocument(std::u16string_view text) {
    if (Streaming() || text.size() > XmlSplice::kMaxText) {
        return false;
    }
    text_.assign(text);
    log_.Clear();
    return Parse();
}

bool XmlDocument::LoadFile(const std::filesystem::path& path) {
    if (Streaming()) {
        return false;
    }
    log_.Clear();
    std::string bytes;
    FileError error;
    if (!ReadWholeFile(path, bytes, error)) {
        LogFileError(error.what, error.number);
        return false;
    }
    return LoadDecoded(bytes);
}

bool XmlDocument::LoadBytes(std::string_view bytes) {
    if (Streaming()) {
        return false;
    }
    log_.Clear();
    return LoadDecoded(bytes);
}

bool XmlDocument::LoadDecoded(std::string_view bytes) {
    XmlDecodedFile file = DecodeXmlFile(bytes, log_);
    if (file.text.size() > XmlSplice::kMaxText) {
        LogFileError(u"file too large", 0);
        return false;
    }
    text_ = std::move(file.text);
    docFlags_ = (docFlags_ & ~XmlDocFlags::kByteOrderMarks) | file.byteOrderMark;
    Parse(); // what the parse found is in the log; the file itself was read
    return true;
}

bool XmlDocument::SaveFile(const std::filesystem::path& path) {
    log_.Clear();
    const XmlEncodedFile file = EncodeXmlFile(text_, docFlags_, log_);
    FileError error;
    if (!ReplaceFile(path, file.bytes, error)) {
        LogFileError(error.what, error.number);
        return false;
    }
    log_.Add(u"write",
             {{u"encoding", file.encoding}, {u"length", static_cast<int64_t>(file.bytes.size())}});
    return true;
}

bool XmlDocument::Parse() {
    parent_ = 0;
    current_ = 0;
    child_ = 0;
    nodeType_ = 0;
    XmlParser parser(text_, index_, log_, IgnoreCase());
    const uint32_t topLevel = parser.Run();
    openTail_ = parser.OpenTail();
    return topLevel == 1;
}

bool XmlDocument::FindElement(std::u16string_view name) {
    const uint32_t found = FindAmongChildren(parent_, current_, name);
    if (found == 0) {
        return false;
    }
    current_ = found;
    child_ = 0;
    nodeType_ = kElementNode;
    return true;
}

bool XmlDocument::FindChildElement(std::u16string_view name) {
    if (current_ == 0 && !FindElement()) {
        return false;
    }
    const uint32_t found = FindAmongChildren(current_, child_, name);
    if (found == 0) {
        return false;
    }
    child_ = found;
    current_ = index_[found].parent;
    parent_ = index_[current_].parent;
    nodeType_ = kElementNode;
    return true;
}

bool XmlDocument::EnterElement() {
    if (current_ == 0 || nodeType_ != kElementNode) {
        return false;
    }
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    nodeType_ = current_ != 0 ? kElementNode : 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (parent_ == 0) {
        return false;
    }
    child_ = current_;
    current_ = parent_;
    parent_ = index_[current_].parent;
    nodeType_ = kElementNode;
    return true;
}

std::u16string XmlDocument::GetTagName() const {
    return TagName(current_);
}

std::u16string XmlDocument::GetChildTagName() const {
    return TagName(child_);
}

std::u16string XmlDocument::GetElementData() const {
    return ElementData(text_, index_, current_, docFlags_);
}

std::u16string XmlDocument::GetChildData() const {
    return ElementData(text_, index_, child_, docFlags_);
}

bool XmlDocument::AddElement(std::u16string_view name, std::u16string_view data) {
    if (Streaming()) {
        return false;
    }
    XmlSplice splice(text_, index_, openTail_);
    const uint32_t node = splice.Insert(parent_, current_, name, data);
    if (node == 0) {
        return false;
    }
    current_ = node;
    child_ = 0;
    nodeType_ = kElementNode;
    return true;
}

bool XmlDocument::AddChildElement(std::u16string_view name, std::u16string_view data) {
    if (Streaming() || current_ == 0) {
        return false;
    }
    XmlSplice splice(text_, index_, openTail_);
    const uint32_t node = splice.Insert(current_, child_, name, data);
    if (node == 0) {
        return false;
    }
    child_ = node;
    return true;
}

uint32_t XmlDocument::FindAmongChildren(uint32_t parent, uint32_t after,
                                        std::u16string_view name) const {
    uint32_t node = after != 0 ? index_[after].nextSibling : index_[parent].firstChild;
    for (; node != 0; node = index_[node].nextSibling) {
        if (name.empty() || NameIs(node, name)) {
            return node;
        }
    }
    return 0;
}

// The tag name in the text must end where the searched name ends.
bool XmlDocument::NameIs(uint32_t node, std::u16string_view name) const {
    const size_t start = index_[node].offset + 1;
    if (start + name.size() >= text_.size()) {
        return false;
    }
    const std::u16string_view candidate(text_.data() + start, name.size());
    return SameTagName(candidate, name, IgnoreCase()) &&
           xmlscan::IsNameEnd(text_[start + name.size()]);
}

std::u16string XmlDocument::TagName(uint32_t node) const {
    if (node == 0) {
        return {};
    }
    return std::u16string(xmlscan::TagNameAt(text_, index_[node].offset));
}

bool XmlDocument::Streaming() const {
    return (docFlags_ & XmlDocFlags::kStreaming) != 0;
}

bool XmlDocument::IgnoreCase() const {
    return (docFlags_ & XmlDocFlags::kIgnoreCase) != 0;
}

void XmlDocument::LogFileError(const std::u16string& what, int number) {
    log_.Add(u"file_error", {{u"msg", what}, {u"n", static_cast<int64_t>(number)}});
}

} // namespace quorlex
