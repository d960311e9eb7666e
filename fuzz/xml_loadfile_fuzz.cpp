// Any file content: loading must not crash, every element's data must be
// readable, and a document saved as UTF-8 or with a byte-order mark must
// read back as the same text.
#include "xml/XmlDeclaration.h"
#include "xml/XmlDocument.h"
#include "xml/XmlFileDecoder.h"
#include "xml/XmlFileEncoder.h"
#include "xml/XmlNode.h"
#include "xml/XmlResultLog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace quorlex;

// One scratch file per fuzzing process, so that LoadFile reads a real file.
class ScratchFile {
public:
    ScratchFile() {
        char name[] = "/tmp/xml_loadfile_fuzz.XXXXXX";
        fd_ = ::mkstemp(name);
        path_ = name;
    }
    ~ScratchFile() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Write(const uint8_t* data, size_t size) {
        if (::ftruncate(fd_, 0) != 0 ||
            ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) {
            std::abort();
        }
        return path_;
    }

private:
    int fd_ = -1;
    std::string path_;
};

void ReadEveryElement(XmlDocument& doc, int depth) {
    while (doc.FindElement()) {
        (void)doc.GetTagName();
        (void)doc.GetElementData();
        if (depth < 64 && doc.EnterElement()) {
            ReadEveryElement(doc, depth + 1);
            doc.LeaveElement();
        }
    }
}

// Text saved in a UTF form reads back the same, except that a leading
// U+FEFF written without a mark is read as one, as every reader does, and
// that saving follows only an XML declaration while reading also heeds an
// HTML meta charset.
bool ShouldReadBack(const XmlEncodedFile& file, const std::u16string& text, uint32_t flags) {
    if ((flags & XmlDocFlags::kByteOrderMarks) != 0) {
        return true;
    }
    return file.encoding == u"UTF-8" && !text.starts_with(u'\xFEFF') &&
           FindDeclaredEncoding(text, true) == FindDeclaredEncoding(text, false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFile scratch;
    XmlDocument doc;
    if (!doc.LoadFile(scratch.Write(data, size))) {
        std::fprintf(stderr, "a readable file failed to load\n");
        std::abort();
    }
    if (doc.GetResult().size() > XmlResultLog::kLimit) {
        std::abort();
    }
    ReadEveryElement(doc, 0);

    XmlResultLog log;
    const XmlEncodedFile file = EncodeXmlFile(doc.GetDocument(), doc.GetDocFlags(), log);
    if (ShouldReadBack(file, doc.GetDocument(), doc.GetDocFlags()) &&
        log.Text().find(u"conversion_loss") == std::u16string::npos) {
        const XmlDecodedFile again = DecodeXmlFile(file.bytes, log);
        if (again.text != doc.GetDocument()) {
            std::fprintf(stderr, "saved text does not read back the same\n");
            std::abort();
        }
    }
    return 0;
}
