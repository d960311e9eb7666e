#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// One line the receiver sends. A checksummed line goes out as
// "@" + text + "*" + two hex digits + CR LF; a raw line (the source table the
// caster forwards) as text + CR LF.
struct ReplyLine {
    std::u16string text;
    bool checksummed = true;

    bool operator==(const ReplyLine&) const = default;
};

// The sum the tool checks: XOR of the low bytes of the text's UTF-16 units
// between "@" and "*". For a Chinese character that is not the XOR of its
// code page bytes, so summing the wire bytes would get Chinese values refused.
uint8_t LineChecksum(std::u16string_view body);

// The bytes on the wire. With corruptChecksum the two digits are those of a
// different checksum, so a line that needed one is refused by the far end.
std::string EncodeReplyLine(const ReplyLine& line, bool corruptChecksum = false);

ReplyLine KeyReply(std::u16string_view key, std::u16string_view value);
// "@GNSS,<command>,OK": the acknowledgement the tool looks for.
ReplyLine Acknowledgement(std::u16string_view command);
// Refusal of a command, with a receiver result code; never contains ",OK".
ReplyLine ErrorReply(int code, std::u16string_view command);
ReplyLine RawLine(std::u16string_view text);

// Result codes of refused commands.
constexpr int kErrorBadCommand = 1;   // unknown command word
constexpr int kErrorNoSuchNode = 2;   // unknown key
constexpr int kErrorNotSupported = 3; // key cannot be written
constexpr int kErrorBadParameter = 5;

} // namespace quorlex
