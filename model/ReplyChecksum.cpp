#include "model/ReplyChecksum.h"

#include "common/Format.h"
#include "common/Text.h"

namespace quorlex {

uint8_t ReplyChecksum(std::u16string_view line) {
    const size_t end = line.find(u'*');
    const std::u16string_view covered = line.substr(0, end);
    uint8_t sum = 0;
    for (size_t i = 1; i < covered.size(); ++i) {
        sum ^= static_cast<uint8_t>(covered[i] & 0xFF);
    }
    return sum;
}

bool ReplyChecksumValid(std::u16string_view line) {
    const size_t star = line.find(u'*');
    // Without "*" a line never passes, whatever its first characters happen to be.
    if (line.size() < 2 || star == std::u16string_view::npos) {
        return false;
    }
    const std::u16string digits = ToUpperAscii(line.substr(star + 1, 2));
    return digits == FormatText(u"%02X", {int64_t{ReplyChecksum(line)}});
}

std::u16string WithReplyChecksum(std::u16string_view body) {
    std::u16string line(body);
    line += FormatText(u"*%02X", {int64_t{ReplyChecksum(body)}});
    return line;
}

} // namespace quorlex
