#include "link/WireMask.h"

#include <algorithm>
#include <array>

namespace quorlex {
namespace {

// The keys whose values are secrets, each with the comma that ends it.
constexpr std::array<std::string_view, 2> kSecretKeys = {"NETWORK.MOUNTPOINTUSERPASS,",
                                                         "NETWORK.APNPASS,"};

// Where the first secret key in text ends (just after its comma), or npos.
std::size_t AfterSecretKey(std::string_view text) {
    std::size_t best = std::string_view::npos;
    for (const std::string_view key : kSecretKeys) {
        const std::size_t at = text.find(key);
        if (at != std::string_view::npos) {
            best = std::min(best, at + key.size());
        }
    }
    return best;
}

// The length of the longest end of text that is the start of a secret key.
std::size_t KeyStartAtEnd(std::string_view text) {
    std::size_t longest = 0;
    for (const std::string_view key : kSecretKeys) {
        for (std::size_t n = std::min(key.size() - 1, text.size()); n > longest; --n) {
            if (text.substr(text.size() - n) == key.substr(0, n)) {
                longest = n;
                break;
            }
        }
    }
    return longest;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

std::span<const std::string_view> SecretKeys() {
    return kSecretKeys;
}

std::string WireMask::MaskLine(std::string_view line, bool startsInValue) {
    const std::size_t valueStart = startsInValue ? 0 : AfterSecretKey(line);
    if (valueStart == std::string_view::npos) {
        return std::string(line);
    }
    std::string_view value = line.substr(valueStart);
    const std::size_t ending = value.find_last_not_of("\r\n") + 1;
    const std::string_view lineEnd = value.substr(std::min(ending, value.size()));
    value = value.substr(0, std::min(ending, value.size()));
    std::string out(line.substr(0, valueStart));
    // A key reply carries "OK," before its value.
    if (value.starts_with("OK,")) {
        out += "OK,";
        value.remove_prefix(3);
    }
    const bool checksum = value.size() >= 3 && value[value.size() - 3] == '*' &&
                          IsHex(value[value.size() - 2]) && IsHex(value.back());
    if (checksum) {
        value.remove_suffix(3);
    }
    const bool acknowledged = value.ends_with(",OK");
    if (acknowledged) {
        value.remove_suffix(3);
    }
    if (value.empty()) {
        return std::string(line); // nothing to hide, not even in the checksum
    }
    out += kMaskedValue;
    if (acknowledged) {
        out += ",OK";
    }
    if (checksum) {
        out += "*XX";
    }
    out += lineEnd;
    return out;
}

std::string WireMask::Feed(std::string_view bytes) {
    std::string text = std::move(held_);
    held_.clear();
    text += bytes;
    std::string out;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos;
         end = text.find('\n', start)) {
        const std::string_view line = std::string_view(text).substr(start, end + 1 - start);
        if (dropping_) {
            out += line.substr(line.find_first_of("\r\n"));
        } else {
            out += MaskLine(line, inValue_);
        }
        inValue_ = false;
        dropping_ = false;
        start = end + 1;
    }
    const std::string_view rest = std::string_view(text).substr(start);
    if (dropping_) {
        return out;
    }
    if (inValue_) {
        held_ = rest;
    } else if (const std::size_t after = AfterSecretKey(rest); after != std::string_view::npos) {
        out += rest.substr(0, after);
        held_ = rest.substr(after);
        inValue_ = true;
    } else {
        const std::size_t keep = rest.size() - KeyStartAtEnd(rest);
        out += rest.substr(0, keep);
        held_ = rest.substr(keep);
    }
    if (inValue_ && held_.size() > kMaxHeld) {
        // A value this long is not one: it is masked and the rest of its line dropped.
        out += MaskLine(held_.substr(0, held_.find('\r')), true);
        held_.clear();
        dropping_ = true;
    }
    return out;
}

std::string WireMask::Flush() {
    std::string out;
    if (!dropping_) {
        out = inValue_ ? MaskLine(held_, true) : held_;
    }
    held_.clear();
    inValue_ = false;
    dropping_ = false;
    return out;
}

} // namespace quorlex
