#pragma once

#include "model/ReplyChecksum.h"

#include <string>
#include <string_view>

namespace quorlex::test {

// "@GNSS,GET,<key>,OK,<value>" with a correct checksum, as the receiver writes it.
inline std::u16string Reply(std::u16string_view key, std::u16string_view value) {
    std::u16string body = u"@GNSS,GET,";
    body.append(key).append(u",OK,").append(value);
    return WithReplyChecksum(body);
}

// The same line without its value field and checksum, as a decoder may be handed it.
inline std::u16string ValuelessLine(std::u16string_view key) {
    std::u16string line = u"@GNSS,GET,";
    line.append(key).append(u",OK");
    return line;
}

} // namespace quorlex::test
