#include "xml/XmlFileDecoder.h"

#include "common/CodePage.h"
#include "xml/XmlDeclaration.h"
#include "xml/XmlEncodingTable.h"
#include "xml/XmlNode.h"
#include "xml/XmlTextCodec.h"

#include <algorithm>
#include <cstring>

namespace quorlex {

namespace {

constexpr size_t kPrefixBytes = 1024;

struct Encoding {
    int codePage = 0; // 0 = not known yet
    std::u16string name;
};

int64_t Count(size_t n) {
    return static_cast<int64_t>(n);
}

size_t UnitSize(int codePage) {
    switch (codePage) {
    case XmlCodePage::kUtf16Le:
    case XmlCodePage::kUtf16Be:
        return 2;
    case XmlCodePage::kUtf32Le:
    case XmlCodePage::kUtf32Be:
        return 4;
    default:
        return 1;
    }
}

uint32_t ReadByteOrderMark(std::string_view& bytes, Encoding& encoding) {
    struct Mark {
        std::string_view bytes;
        int codePage;
        std::u16string_view name;
        uint32_t flag;
    };
    static constexpr Mark kMarks[] = {
        {"\xEF\xBB\xBF", XmlCodePage::kUtf8, u"UTF-8", XmlDocFlags::kUtf8Bom},
        {"\xFF\xFE", XmlCodePage::kUtf16Le, u"UTF-16LE", XmlDocFlags::kUtf16Le},
        {"\xFE\xFF", XmlCodePage::kUtf16Be, u"UTF-16BE", XmlDocFlags::kUtf16Be},
    };
    for (const Mark& mark : kMarks) {
        if (bytes.starts_with(mark.bytes)) {
            bytes.remove_prefix(mark.bytes.size());
            encoding = {mark.codePage, std::u16string(mark.name)};
            return mark.flag;
        }
    }
    return 0;
}

// The start of the file as text, for finding a declaration. NUL bytes are
// left out so that a UTF-16 or UTF-32 file without a mark shows its ASCII.
std::u16string PrefixText(std::string_view bytes) {
    std::string prefix(bytes.substr(0, kPrefixBytes));
    std::erase(prefix, '\0');
    std::u16string text;
    Utf8ToUtf16(prefix, text);
    return text;
}

// A file declared as UTF-16 or UTF-32 without a mark: its first "<" shows the byte order.
int ByteOrderOfUnmarked(int codePage, std::string_view bytes) {
    const auto byte = [&](size_t i) { return i < bytes.size() ? bytes[i] : '\0'; };
    if (UnitSize(codePage) == 2 && (byte(0) == '\0') != (byte(1) == '\0')) {
        return byte(0) == '\0' ? XmlCodePage::kUtf16Be : XmlCodePage::kUtf16Le;
    }
    if (UnitSize(codePage) == 4 && byte(0) == '\0' && byte(3) != '\0') {
        return XmlCodePage::kUtf32Be;
    }
    if (UnitSize(codePage) == 4 && byte(0) != '\0' && byte(3) == '\0') {
        return XmlCodePage::kUtf32Le;
    }
    return codePage;
}

// Drops NUL units of the given width; returns how many there were.
size_t RemoveNulUnits(std::string& bytes, size_t width) {
    const size_t whole = bytes.size() - bytes.size() % width;
    size_t out = 0;
    for (size_t i = 0; i < whole; i += width) {
        if (std::any_of(bytes.begin() + static_cast<ptrdiff_t>(i),
                        bytes.begin() + static_cast<ptrdiff_t>(i + width),
                        [](char b) { return b != '\0'; })) {
            std::memmove(bytes.data() + out, bytes.data() + i, width);
            out += width;
        }
    }
    const size_t removed = (whole - out) / width;
    bytes.resize(out);
    return removed;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian, XmlResultLog& log) {
    std::u16string text = Utf16BytesToText(bytes, false);
    const size_t nulls = std::erase(text, u'\0');
    if (nulls > 0) {
        log.Add(u"nulls_removed", {{u"count", Count(nulls)}});
    }
    if (bigEndian) {
        for (char16_t& c : text) {
            c = static_cast<char16_t>((c << 8) | (c >> 8));
        }
        log.Add(u"endian_swap", {{u"length", Count(text.size())}});
    }
    return text;
}

std::string WithoutNulUnits(std::string_view bytes, size_t width, XmlResultLog& log) {
    std::string copy(bytes);
    const size_t nulls = RemoveNulUnits(copy, width);
    if (nulls > 0) {
        log.Add(u"nulls_removed", {{u"count", Count(nulls)}});
    }
    return copy;
}

// Undeclared text: UTF-8 when it is valid UTF-8, else the system default
// code page. Decoding UTF-8 also finds out whether there are NULs to
// remove, which is rare, so the text is seldom read twice.
std::u16string DetectAndDecode(std::string_view bytes, XmlResultLog& log) {
    std::u16string text;
    bool zero = false;
    bool utf8 = Utf8ToUtf16(bytes, text, &zero);
    std::string copy;
    if (zero) {
        copy = WithoutNulUnits(bytes, 1, log);
        bytes = copy;
        utf8 = Utf8ToUtf16(bytes, text);
    }
    if (!utf8) {
        text = DecodeCp936(bytes, false);
    }
    log.Add(u"utf8_detection", {{u"encoding", utf8 ? u"UTF-8" : u"ANSI"}});
    return text;
}

std::u16string DecodeBytes(std::string_view bytes, const Encoding& encoding, XmlResultLog& log) {
    std::u16string text;
    if (encoding.codePage == 0) {
        text = DetectAndDecode(bytes, log);
    } else if (encoding.codePage == XmlCodePage::kUtf8) {
        bool zero = false;
        Utf8ToUtf16(bytes, text, &zero);
        if (zero) {
            Utf8ToUtf16(WithoutNulUnits(bytes, 1, log), text);
        }
    } else {
        std::string copy;
        if (!bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
            copy = WithoutNulUnits(bytes, UnitSize(encoding.codePage), log);
            bytes = copy;
        }
        text = DecodeCodePage(bytes, encoding.codePage);
    }
    log.Add(u"converted_to", {{u"encoding", u"UTF-16"}, {u"length", Count(text.size())}});
    return text;
}

} // namespace

XmlDecodedFile DecodeXmlFile(std::string_view bytes, XmlResultLog& log) {
    XmlDecodedFile result;
    Encoding encoding;
    result.byteOrderMark = ReadByteOrderMark(bytes, encoding);
    if (result.byteOrderMark != 0) {
        log.Add(u"bom", {{u"encoding", encoding.name}});
    } else {
        const std::u16string prefix = PrefixText(bytes);
        const std::u16string_view declared = FindDeclaredEncoding(prefix, true);
        if (!declared.empty()) {
            encoding.name = declared;
            encoding.codePage = ByteOrderOfUnmarked(CodePageFromName(declared), bytes);
        }
    }
    const size_t width = UnitSize(encoding.codePage);
    if (encoding.name.empty()) {
        log.Add(u"read", {{u"length", Count(bytes.size())}});
    } else {
        log.Add(u"read", {{u"encoding", encoding.name}, {u"length", Count(bytes.size() / width)}});
    }
    if (width == 2) {
        result.text = DecodeUtf16(bytes, encoding.codePage == XmlCodePage::kUtf16Be, log);
    } else {
        result.text = DecodeBytes(bytes, encoding, log);
    }
    return result;
}

} // namespace quorlex
