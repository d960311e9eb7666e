#include "network/ChunkedBodyDecoder.h"

#include "common/Text.h"
#include "network/StatusLine.h"

#include <algorithm>
#include <optional>

namespace quorlex {

namespace {

constexpr std::string_view kTransferEncoding = "transfer-encoding";
constexpr std::string_view kChunked = "chunked";

std::string_view WithoutCr(std::string_view line) {
    return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view lower) {
    return a.size() == lower.size() &&
           std::equal(a.begin(), a.end(), lower.begin(),
                      [](char x, char y) { return LowerAscii(x) == y; });
}

bool ContainsIgnoringCase(std::string_view text, std::string_view lower) {
    const auto found = std::search(text.begin(), text.end(), lower.begin(), lower.end(),
                                   [](char x, char y) { return LowerAscii(x) == y; });
    return found != text.end();
}

// "Transfer-Encoding: chunked" in any case, among other codings or not.
bool NamesChunkedBody(std::string_view header) {
    const size_t colon = header.find(':');
    return colon != std::string_view::npos &&
           EqualsIgnoringCase(TrimBlanks(header.substr(0, colon)), kTransferEncoding) &&
           ContainsIgnoringCase(header.substr(colon + 1), kChunked);
}

// The size of a size line ("1a3", "1A3;name=value", "1a3 "); nothing when the
// line is not one or names a size no table has.
std::optional<uint64_t> ChunkSize(std::string_view line) {
    line = TrimBlanks(line);
    uint64_t size = 0;
    size_t digits = 0;
    for (; digits < line.size(); ++digits) {
        const int digit = HexDigitValue(static_cast<unsigned char>(line[digits]));
        if (digit < 0) {
            break;
        }
        size = size * 16 + static_cast<uint64_t>(digit);
        if (size > ChunkedBodyDecoder::kMaxChunk) {
            return std::nullopt;
        }
    }
    const std::string_view rest = TrimBlanks(line.substr(digits));
    if (digits == 0 || (!rest.empty() && rest.front() != ';')) {
        return std::nullopt;
    }
    return size;
}

} // namespace

void ChunkedBodyDecoder::Reset() {
    phase_ = Phase::Text;
    line_.clear();
    lineTooLong_ = false;
    chunked_ = false;
    dataLeft_ = 0;
    sawCr_ = false;
}

std::string ChunkedBodyDecoder::Take(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        if (phase_ == Phase::Data) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(dataLeft_, bytes.size()));
            out.append(bytes.substr(0, n));
            bytes.remove_prefix(n);
            dataLeft_ -= n;
            if (dataLeft_ == 0) {
                phase_ = Phase::DataEnd;
            }
            continue;
        }
        TakeByte(bytes.front(), out);
        bytes.remove_prefix(1);
    }
    return out;
}

void ChunkedBodyDecoder::TakeByte(char byte, std::string& out) {
    switch (phase_) {
    case Phase::Text:
    case Phase::Head:
        out.push_back(byte);
        break;
    case Phase::DataEnd:
        if (byte == '\r' && !sawCr_) {
            sawCr_ = true;
            return;
        }
        if (byte == '\n') {
            sawCr_ = false;
            phase_ = Phase::SizeLine;
            return;
        }
        // Data longer than its size said: from here the body is as received.
        line_.clear();
        if (sawCr_) {
            line_.push_back('\r');
        }
        sawCr_ = false;
        GiveUp(out);
        TakeByte(byte, out);
        return;
    case Phase::SizeLine:
    case Phase::Trailer:
    case Phase::Data:
        break;
    }
    if (byte != '\n') {
        if (line_.size() < kMaxLine) {
            line_.push_back(byte);
            return;
        }
        if (phase_ == Phase::SizeLine) {
            GiveUp(out);
            out.push_back(byte);
        }
        lineTooLong_ = true;
        return;
    }
    switch (phase_) {
    case Phase::Text:
        EndTextLine();
        break;
    case Phase::Head:
        EndHeadLine();
        break;
    case Phase::SizeLine:
        EndSizeLine(out);
        break;
    case Phase::Trailer:
        if (!lineTooLong_ && WithoutCr(line_).empty()) {
            phase_ = Phase::Text;
        }
        break;
    case Phase::Data:
    case Phase::DataEnd:
        break;
    }
    line_.clear();
    lineTooLong_ = false;
}

void ChunkedBodyDecoder::EndTextLine() {
    const auto status = ParseStatusLine(WithoutCr(line_));
    if (!lineTooLong_ && status && status->protocol == StatusProtocol::Http) {
        phase_ = Phase::Head;
        chunked_ = false;
    }
}

void ChunkedBodyDecoder::EndHeadLine() {
    const std::string_view line = WithoutCr(line_);
    if (line.empty()) {
        phase_ = chunked_ ? Phase::SizeLine : Phase::Text;
    } else if (!lineTooLong_ && NamesChunkedBody(line)) {
        chunked_ = true;
    }
}

void ChunkedBodyDecoder::EndSizeLine(std::string& out) {
    const std::string_view line = WithoutCr(line_);
    if (TrimBlanks(line).empty()) {
        return; // a stray line end between chunks
    }
    const std::optional<uint64_t> size = ChunkSize(line);
    if (!size) {
        line_.push_back('\n');
        GiveUp(out);
        return;
    }
    if (*size == 0) {
        phase_ = Phase::Trailer;
        return;
    }
    dataLeft_ = *size;
    phase_ = Phase::Data;
}

void ChunkedBodyDecoder::GiveUp(std::string& out) {
    out.append(line_);
    line_.clear();
    lineTooLong_ = false;
    chunked_ = false;
    phase_ = Phase::Text;
}

} // namespace quorlex
