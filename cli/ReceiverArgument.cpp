#include "cli/ReceiverArgument.h"

#include "common/Text.h"
#include "link/LinkTarget.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace quorlex::cli {
namespace {

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "00:12:6F:0A:1B:2C", or the device list's "00126f0a1b2c".
std::optional<uint64_t> ParseAddress(std::string_view text) {
    std::string digits;
    if (text.size() == 17) {
        for (size_t i = 0; i < text.size(); ++i) {
            const bool colon = i % 3 == 2;
            if (colon ? text[i] != ':' : !IsHex(text[i])) {
                return std::nullopt;
            }
            if (!colon) {
                digits += text[i];
            }
        }
    } else if (text.size() == 12 && std::all_of(text.begin(), text.end(), IsHex)) {
        digits = text;
    } else {
        return std::nullopt;
    }
    uint64_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return value;
}

std::string SerialBaudList() {
    std::string list;
    for (const int baud : SerialBaudRates()) {
        list += (list.empty() ? "" : ", ") + std::to_string(baud);
    }
    return list;
}

// "tcp:" and "serial:" are read as the device dialog reads a location, so a
// receiver named either way is the same receiver.
bool ParseLocation(ReceiverKind kind, std::string_view rest, ReceiverArgument& argument,
                   std::string& error) {
    const std::optional<LinkTarget> target = ParseLinkLocation(LinkKindOf(kind), FromUtf8(rest));
    if (target) {
        argument.kind = kind;
        argument.location = LinkLocationText(*target);
        return true;
    }
    const size_t colon = rest.rfind(':');
    const std::string_view baud = colon == rest.npos ? std::string_view() : rest.substr(colon + 1);
    if (kind == ReceiverKind::Tcp) {
        error = "expected tcp:HOST:PORT with a port of 1-65535 (an IPv6 address in brackets: "
                "tcp:[::1]:9527)";
    } else if (!baud.empty() && baud.find_first_not_of("0123456789") == baud.npos &&
               (baud.size() > 7 || !IsSerialBaudRate(std::stoi(std::string(baud))))) {
        error = "the baud rate must be one of " + SerialBaudList();
    } else {
        error = "expected serial:/dev/DEVICE[:BAUD] with an absolute device path";
    }
    return false;
}

} // namespace

int32_t LinkKindOf(ReceiverKind kind) {
    switch (kind) {
    case ReceiverKind::Tcp:
        return kLinkKindTcp;
    case ReceiverKind::Serial:
        return kLinkKindSerial;
    default:
        return kLinkKindBluetooth;
    }
}

std::optional<ReceiverArgument> ParseReceiverArgument(std::string_view text, std::string& error) {
    ReceiverArgument argument;
    argument.text = text;
    bool ok = true;
    if (text.empty()) {
        error = "an empty receiver name";
        ok = false;
    } else if (text == "sim" || text.starts_with("sim:")) {
        argument.kind = ReceiverKind::Simulated;
        argument.name = text.substr(std::min<size_t>(text.size(), 4));
        if (text.size() == 4) {
            error = "expected sim or sim:NAME";
            ok = false;
        }
    } else if (text.starts_with("tcp:")) {
        ok = ParseLocation(ReceiverKind::Tcp, text.substr(4), argument, error);
    } else if (text.starts_with("serial:")) {
        ok = ParseLocation(ReceiverKind::Serial, text.substr(7), argument, error);
    } else if (const auto address = ParseAddress(text)) {
        argument.kind = ReceiverKind::BluetoothAddress;
        argument.address = *address;
    } else {
        argument.kind = ReceiverKind::BluetoothName;
        argument.name = text;
    }
    if (!ok) {
        return std::nullopt;
    }
    return argument;
}

std::string FormatBluetoothAddress(uint64_t address) {
    std::array<char, 18> text{};
    std::snprintf(text.data(), text.size(), "%02X:%02X:%02X:%02X:%02X:%02X",
                  static_cast<unsigned>((address >> 40) & 0xFF),
                  static_cast<unsigned>((address >> 32) & 0xFF),
                  static_cast<unsigned>((address >> 24) & 0xFF),
                  static_cast<unsigned>((address >> 16) & 0xFF),
                  static_cast<unsigned>((address >> 8) & 0xFF),
                  static_cast<unsigned>(address & 0xFF));
    return text.data();
}

} // namespace quorlex::cli
