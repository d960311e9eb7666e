#pragma once

#include <optional>
#include <string_view>

namespace quorlex {

// The first line of a caster's answer: "HTTP/1.0 200 OK" or "HTTP/1.1 401
// Unauthorized" (NTRIP 2.0), "SOURCETABLE 200 OK" or "ICY 200 OK" (NTRIP 1.0).
enum class StatusProtocol { Http, SourceTable, Icy };

struct StatusLine {
    StatusProtocol protocol = StatusProtocol::Http;
    int code = 0;

    // An HTTP 200 answers a table request with the table.
    bool StartsTable() const { return protocol == StatusProtocol::Http && code == kOk; }
    // Any final status but 200 means no table comes; 1xx are interim answers.
    bool Refuses() const { return code != kOk && code >= kFirstFinal; }

    static constexpr int kOk = 200;
    static constexpr int kFirstFinal = 200;
};

// The protocol word, one space, three digits, then the end of the line or a
// space and the reason. Anything else is no status line.
std::optional<StatusLine> ParseStatusLine(std::string_view line);
std::optional<StatusLine> ParseStatusLine(std::u16string_view line);

} // namespace quorlex
