#pragma once

#include "xml/XmlResultLog.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

struct XmlDecodedFile {
    std::u16string text;
    uint32_t byteOrderMark = 0; // the docFlags bit of the mark the file began with
};

// Turns a file's bytes into the document's text: byte-order mark, declared
// encoding (XML declaration or HTML meta), UTF-8 detection, NUL removal and
// byte swapping, each step logged. Without a declared encoding, text that is
// not valid UTF-8 is read in the system default code page.
XmlDecodedFile DecodeXmlFile(std::string_view bytes, XmlResultLog& log);

} // namespace quorlex
