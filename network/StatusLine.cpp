#include "network/StatusLine.h"

#include <array>
#include <string>

namespace quorlex {

namespace {

struct Protocol {
    std::string_view word;
    StatusProtocol protocol;
};

constexpr std::array<Protocol, 4> kProtocols = {{
    {"HTTP/1.0 ", StatusProtocol::Http},
    {"HTTP/1.1 ", StatusProtocol::Http},
    {"SOURCETABLE ", StatusProtocol::SourceTable},
    {"ICY ", StatusProtocol::Icy},
}};

constexpr size_t kCodeDigits = 3;

template <typename Char>
bool StartsWithAscii(std::basic_string_view<Char> line, std::string_view word) {
    if (line.size() < word.size()) {
        return false;
    }
    for (size_t i = 0; i < word.size(); ++i) {
        if (line[i] != static_cast<Char>(word[i])) {
            return false;
        }
    }
    return true;
}

template <typename Char> std::optional<StatusLine> ParseAny(std::basic_string_view<Char> line) {
    for (const Protocol& p : kProtocols) {
        if (!StartsWithAscii(line, p.word)) {
            continue;
        }
        const std::basic_string_view<Char> rest = line.substr(p.word.size());
        if (rest.size() < kCodeDigits || (rest.size() > kCodeDigits && rest[kCodeDigits] != ' ')) {
            return std::nullopt;
        }
        int code = 0;
        for (size_t i = 0; i < kCodeDigits; ++i) {
            if (rest[i] < '0' || rest[i] > '9') {
                return std::nullopt;
            }
            code = code * 10 + static_cast<int>(rest[i] - '0');
        }
        return StatusLine{p.protocol, code};
    }
    return std::nullopt;
}

} // namespace

std::optional<StatusLine> ParseStatusLine(std::string_view line) {
    return ParseAny(line);
}

std::optional<StatusLine> ParseStatusLine(std::u16string_view line) {
    return ParseAny(line);
}

} // namespace quorlex
