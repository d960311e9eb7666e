#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// One line of a wire log: when (microseconds since the log started, on a
// monotonic clock), over which link kind, which way, and the bytes.
struct WireRecord {
    enum Direction : char {
        kSent = '>',     // from the tool to the receiver
        kReceived = '<', // from the receiver to the tool
        kEvent = '*',    // the link's own: an attempt starting, a status text (UTF-8)
    };

    int64_t micros = 0;
    int32_t kind = 0;
    Direction direction = kEvent;
    std::string bytes;

    bool operator==(const WireRecord&) const = default;
};

// "   12.345678 tcp > GET,ALL\r\n" and its line end. Printable ASCII stays as
// it is; backslash, CR, LF and tab are escaped as in C; other bytes are
// written \xHH, except that an event's UTF-8 text is kept readable.
std::string FormatWireRecord(const WireRecord& record);
// The bytes as a data record writes them.
std::string EscapeWireBytes(std::string_view bytes);

// A recorded session: header lines "name: value" first, then the lines of
// a wire log. Lines beginning with "#" and empty lines are skipped anywhere,
// so a wire log is a session without a header.
struct Session {
    std::map<std::string, std::string> header;
    std::vector<WireRecord> records;
};

struct SessionError {
    int line = 0; // 1-based
    std::string reason;
};

// false with the first problem when the text is not such a file; session is
// then incomplete.
bool ReadSession(std::string_view text, Session& session, SessionError& error);

} // namespace quorlex
