#pragma once

#include "xml/XmlResultLog.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

struct XmlEncodedFile {
    std::string bytes;
    std::u16string encoding; // the target, for the log
};

// The bytes a document is saved as. A byte-order mark flag in docFlags (set
// when such a file was loaded) selects UTF-8, UTF-16LE or UTF-16BE with the
// mark; otherwise the encoding of the document's own XML declaration is used,
// UTF-8 when it has none, without a mark. Characters the target cannot hold
// are logged as "conversion_loss".
XmlEncodedFile EncodeXmlFile(std::u16string_view text, uint32_t docFlags, XmlResultLog& log);

} // namespace quorlex
