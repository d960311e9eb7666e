#include "sim/ReplyLine.h"

#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"

namespace quorlex {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The command word and key of a refused command, for the person reading the
// log.
std::u16string ErrorEcho(std::u16string_view command) {
    std::u16string verb;
    std::u16string key;
    ExtractField(command, 0, u',', verb);
    ExtractField(command, 1, u',', key);
    return key.empty() ? verb : verb + u"," + key;
}

} // namespace

uint8_t LineChecksum(std::u16string_view body) {
    uint8_t sum = 0;
    for (const char16_t unit : body) {
        sum ^= static_cast<uint8_t>(unit & 0xFF);
    }
    return sum;
}

std::string EncodeReplyLine(const ReplyLine& line, bool corruptChecksum) {
    std::string bytes = EncodeCp936(line.text);
    if (!line.checksummed) {
        return bytes + "\r\n";
    }
    uint8_t sum = LineChecksum(line.text);
    if (corruptChecksum) {
        sum = static_cast<uint8_t>(sum + 0x5A);
    }
    std::string out;
    out.reserve(bytes.size() + 6);
    out += '@';
    out += bytes;
    out += '*';
    out += kHexDigits[sum >> 4];
    out += kHexDigits[sum & 0x0F];
    out += "\r\n";
    return out;
}

ReplyLine KeyReply(std::u16string_view key, std::u16string_view value) {
    std::u16string text = u"GNSS,GET,";
    text += key;
    text += u",OK,";
    text += value;
    return {std::move(text), true};
}

ReplyLine Acknowledgement(std::u16string_view command) {
    std::u16string text = u"GNSS,";
    text += command;
    text += u",OK";
    return {std::move(text), true};
}

ReplyLine ErrorReply(int code, std::u16string_view command) {
    std::u16string text = FormatText(u"GNSS,ERROR,%d", {int64_t{code}});
    const std::u16string echo = ErrorEcho(command);
    // An echo that could pass for an acknowledgement, or that would end the
    // line early at its "*", is left out.
    if (!echo.empty() && !Contains(u"," + echo, u",OK") && !Contains(echo, u"*")) {
        text += u",";
        text += echo;
    }
    return {std::move(text), true};
}

ReplyLine RawLine(std::u16string_view text) {
    return {std::u16string(text), false};
}

} // namespace quorlex
