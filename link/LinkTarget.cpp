#include "link/LinkTarget.h"

#include "common/Text.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace quorlex {
namespace {

constexpr std::array<int, 18> kBaudRates = {300,    600,    1200,   2400,    4800,    9600,
                                            19200,  38400,  57600,  115200,  230400,  460800,
                                            500000, 576000, 921600, 1000000, 1152000, 1500000};

std::optional<int> Digits(std::string_view text, int max) {
    int value = 0;
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

// Printable ASCII without blanks: what a host name or address can be.
bool IsHostText(std::string_view host) {
    return !host.empty() &&
           std::all_of(host.begin(), host.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

std::optional<LinkTarget> ParseTcp(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = text.substr(0, colon);
    const std::optional<int> port = Digits(text.substr(colon + 1), 65535);
    if (!port || *port == 0) {
        return std::nullopt;
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        if (host.find(':') == std::string_view::npos) {
            return std::nullopt; // brackets are for IPv6 addresses
        }
    } else if (host.find_first_of(":[]") != std::string_view::npos) {
        return std::nullopt;
    }
    if (!IsHostText(host)) {
        return std::nullopt;
    }
    LinkTarget target;
    target.kind = kLinkKindTcp;
    target.host = host;
    target.port = static_cast<uint16_t>(*port);
    return target;
}

std::optional<LinkTarget> ParseSerial(std::string_view text) {
    LinkTarget target;
    target.kind = kLinkKindSerial;
    std::string_view path = text;
    // Device names may hold ":" themselves; only digits after the last one are a rate.
    const std::size_t colon = text.rfind(':');
    const std::string_view digits =
        colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos) {
        const std::optional<int> baud = Digits(digits, 99'999'999);
        if (!baud || !IsSerialBaudRate(*baud)) {
            return std::nullopt;
        }
        target.baud = *baud;
        path = text.substr(0, colon);
    } else if (colon + 1 == text.size()) {
        path = text.substr(0, colon); // "path:" asks for the usual rate
    }
    if (path.size() < 2 || path.front() != '/' || path.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    target.path = path;
    return target;
}

} // namespace

bool IsKnownLinkKind(int32_t kind) {
    return kind == kLinkKindBluetooth || kind == kLinkKindTcp || kind == kLinkKindSerial;
}

std::string_view LinkKindName(int32_t kind) {
    switch (kind) {
    case kLinkKindBluetooth:
        return "bluetooth";
    case kLinkKindTcp:
        return "tcp";
    case kLinkKindSerial:
        return "serial";
    default:
        return "unknown";
    }
}

std::optional<int32_t> LinkKindFromName(std::string_view name) {
    for (const int32_t kind : {kLinkKindBluetooth, kLinkKindTcp, kLinkKindSerial}) {
        if (name == LinkKindName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

std::u16string LinkLocationText(const LinkTarget& target) {
    std::string text;
    if (target.kind == kLinkKindTcp) {
        const bool v6 = target.host.find(':') != std::string::npos;
        text = v6 ? "[" + target.host + "]" : target.host;
        text += ':';
        text += std::to_string(target.port);
    } else if (target.kind == kLinkKindSerial) {
        text = target.path + ":" + std::to_string(target.baud);
    }
    return FromUtf8(text);
}

std::optional<LinkTarget> ParseLinkLocation(int32_t kind, std::u16string_view text) {
    const std::string bytes = ToUtf8(text);
    if (kind == kLinkKindTcp) {
        return ParseTcp(bytes);
    }
    if (kind == kLinkKindSerial) {
        return ParseSerial(bytes);
    }
    return std::nullopt;
}

std::span<const int> SerialBaudRates() {
    return kBaudRates;
}

bool IsSerialBaudRate(int baud) {
    return std::binary_search(kBaudRates.begin(), kBaudRates.end(), baud);
}

} // namespace quorlex
