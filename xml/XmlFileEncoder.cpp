#include "xml/XmlFileEncoder.h"

#include "xml/XmlDeclaration.h"
#include "xml/XmlEncodingTable.h"
#include "xml/XmlNode.h"
#include "xml/XmlTextCodec.h"

namespace quorlex {

XmlEncodedFile EncodeXmlFile(std::u16string_view text, uint32_t docFlags, XmlResultLog& log) {
    XmlEncodedFile file;
    int codePage = XmlCodePage::kUtf8;
    if ((docFlags & XmlDocFlags::kUtf16Le) != 0) {
        codePage = XmlCodePage::kUtf16Le;
        file.bytes = "\xFF\xFE";
        file.encoding = u"UTF-16LE";
    } else if ((docFlags & XmlDocFlags::kUtf16Be) != 0) {
        codePage = XmlCodePage::kUtf16Be;
        file.bytes = "\xFE\xFF";
        file.encoding = u"UTF-16BE";
    } else if ((docFlags & XmlDocFlags::kUtf8Bom) != 0) {
        file.bytes = "\xEF\xBB\xBF";
        file.encoding = u"UTF-8";
    } else {
        const std::u16string_view declared = FindDeclaredEncoding(text, false);
        file.encoding = declared.empty() ? u"UTF-8" : declared;
        if (!declared.empty()) {
            codePage = CodePageFromName(declared);
        }
    }
    if (codePage == XmlCodePage::kUtf16Le || codePage == XmlCodePage::kUtf16Be) {
        file.bytes += TextToUtf16Bytes(text, codePage == XmlCodePage::kUtf16Be);
        return file;
    }
    size_t lost = 0;
    const std::string converted = EncodeCodePage(text, codePage, lost);
    log.Add(u"converted_from",
            {{u"encoding", file.encoding}, {u"length", static_cast<int64_t>(converted.size())}});
    if (lost > 0) {
        log.Add(u"conversion_loss",
                {{u"encoding", file.encoding}, {u"count", static_cast<int64_t>(lost)}});
    }
    file.bytes += converted;
    return file;
}

} // namespace quorlex
