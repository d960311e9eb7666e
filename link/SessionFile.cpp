#include "link/SessionFile.h"

#include "link/LinkTarget.h"

#include <charconv>
#include <optional>

namespace quorlex {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
// Seconds are written at least this wide, so the columns line up.
constexpr std::size_t kSecondsWidth = 5;

void AppendEscaped(std::string_view bytes, bool keepHighBytes, std::string& out) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if ((byte >= 0x20 && byte < 0x7F) || (keepHighBytes && byte >= 0x80)) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool Unescape(std::string_view text, std::string& bytes, std::string& reason) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            reason = "control character in the bytes";
            return false;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i == text.size()) {
            reason = "backslash at the end of the line";
            return false;
        }
        switch (text[i]) {
        case '\\':
            bytes += '\\';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 'n':
            bytes += '\n';
            break;
        case 't':
            bytes += '\t';
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                reason = "\\x without two hexadecimal digits";
                return false;
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            reason = "unknown escape";
            return false;
        }
    }
    return true;
}

// "S.UUUUUU": whole seconds and exactly six decimals.
bool ReadTime(std::string_view text, int64_t& micros) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 12 || text.size() != dot + 7) {
        return false;
    }
    int64_t seconds = 0;
    int64_t fraction = 0;
    const char* begin = text.data();
    const auto whole = std::from_chars(begin, begin + dot, seconds);
    const auto part = std::from_chars(begin + dot + 1, begin + text.size(), fraction);
    if (whole.ptr != begin + dot || part.ptr != begin + text.size() || seconds < 0 ||
        fraction < 0 || text[dot + 1] == '-' || text[dot + 1] == '+') {
        return false;
    }
    micros = seconds * 1'000'000 + fraction;
    return true;
}

bool ReadRecord(std::string_view line, WireRecord& record, std::string& reason) {
    const std::size_t timeStart = line.find_first_not_of(' ');
    const std::size_t timeEnd = line.find(' ', timeStart);
    if (timeStart == std::string_view::npos || timeEnd == std::string_view::npos ||
        !ReadTime(line.substr(timeStart, timeEnd - timeStart), record.micros)) {
        reason = "no time in seconds with six decimals";
        return false;
    }
    const std::size_t kindEnd = line.find(' ', timeEnd + 1);
    const std::optional<int32_t> kind =
        kindEnd == std::string_view::npos
            ? std::nullopt
            : LinkKindFromName(line.substr(timeEnd + 1, kindEnd - timeEnd - 1));
    if (!kind) {
        reason = "no link kind";
        return false;
    }
    record.kind = *kind;
    const std::string_view rest = line.substr(kindEnd + 1);
    if (rest.empty() || (rest[0] != '>' && rest[0] != '<' && rest[0] != '*') ||
        (rest.size() > 1 && rest[1] != ' ')) {
        reason = "no direction";
        return false;
    }
    record.direction = static_cast<WireRecord::Direction>(rest[0]);
    record.bytes.clear();
    return Unescape(rest.substr(std::min<std::size_t>(rest.size(), 2)), record.bytes, reason);
}

bool IsHeaderName(std::string_view name) {
    return !name.empty() &&
           name.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") == std::string_view::npos;
}

} // namespace

std::string FormatWireRecord(const WireRecord& record) {
    const std::string seconds = std::to_string(record.micros / 1'000'000);
    const std::string fraction = std::to_string(1'000'000 + record.micros % 1'000'000).substr(1);
    std::string line(seconds.size() < kSecondsWidth ? kSecondsWidth - seconds.size() : 0, ' ');
    line += seconds + "." + fraction + " ";
    line += LinkKindName(record.kind);
    line += ' ';
    line += static_cast<char>(record.direction);
    line += ' ';
    AppendEscaped(record.bytes, record.direction == WireRecord::kEvent, line);
    line += '\n';
    return line;
}

std::string EscapeWireBytes(std::string_view bytes) {
    std::string out;
    AppendEscaped(bytes, false, out);
    return out;
}

bool ReadSession(std::string_view text, Session& session, SessionError& error) {
    session = {};
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t colon = line.find(": ");
        if (session.records.empty() && colon != std::string_view::npos &&
            IsHeaderName(line.substr(0, colon))) {
            session.header[std::string(line.substr(0, colon))] = line.substr(colon + 2);
            continue;
        }
        WireRecord record;
        std::string reason;
        if (!ReadRecord(line, record, reason)) {
            error = {number, reason};
            return false;
        }
        session.records.push_back(std::move(record));
    }
    return true;
}

} // namespace quorlex
