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

// XOR of the bytes between "@" and "*".
uint8_t LineChecksum(std::string_view bodyBytes);

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
