#include "cli/ReceiverSpec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace quorlex::cli {
namespace {

constexpr std::array kSerialBauds{1200,  2400,   4800,   9600,   19200, 38400,
                                  57600, 115200, 230400, 460800, 921600};

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

// A whole decimal number in [low, high].
std::optional<int> ParseNumber(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

bool ParseTcp(std::string_view rest, ReceiverSpec& spec, std::string& error) {
    const size_t colon = rest.rfind(':');
    std::string_view host = colon == rest.npos ? rest : rest.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const auto port =
        colon == rest.npos ? std::nullopt : ParseNumber(rest.substr(colon + 1), 1, 65535);
    if (host.empty() || !port) {
        error = "expected tcp:HOST:PORT with a port of 1-65535";
        return false;
    }
    spec.kind = ReceiverKind::Tcp;
    spec.host = host;
    spec.port = static_cast<uint16_t>(*port);
    return true;
}

bool ParseSerial(std::string_view rest, ReceiverSpec& spec, std::string& error) {
    std::string_view device = rest;
    int baud = kDefaultSerialBaud;
    const size_t colon = rest.rfind(':');
    if (colon != rest.npos) {
        const auto value = ParseNumber(rest.substr(colon + 1), 1, 4000000);
        if (!value ||
            std::find(kSerialBauds.begin(), kSerialBauds.end(), *value) == kSerialBauds.end()) {
            error = "the baud rate must be one of 1200, 2400, 4800, 9600, 19200, 38400, "
                    "57600, 115200, 230400, 460800, 921600";
            return false;
        }
        device = rest.substr(0, colon);
        baud = *value;
    }
    if (device.size() < 2 || device.front() != '/') {
        error = "expected serial:/dev/DEVICE[:BAUD] with an absolute device path";
        return false;
    }
    spec.kind = ReceiverKind::Serial;
    spec.device = device;
    spec.baud = baud;
    return true;
}

} // namespace

std::optional<ReceiverSpec> ParseReceiverSpec(std::string_view text, std::string& error) {
    ReceiverSpec spec;
    spec.text = text;
    bool ok = true;
    if (text.empty()) {
        error = "an empty receiver name";
        ok = false;
    } else if (text == "sim" || text.starts_with("sim:")) {
        spec.kind = ReceiverKind::Simulated;
        spec.name = text.substr(std::min<size_t>(text.size(), 4));
        if (text.size() == 4) {
            error = "expected sim or sim:NAME";
            ok = false;
        }
    } else if (text.starts_with("tcp:")) {
        ok = ParseTcp(text.substr(4), spec, error);
    } else if (text.starts_with("serial:")) {
        ok = ParseSerial(text.substr(7), spec, error);
    } else if (const auto address = ParseAddress(text)) {
        spec.kind = ReceiverKind::BluetoothAddress;
        spec.address = *address;
    } else {
        spec.kind = ReceiverKind::BluetoothName;
        spec.name = text;
    }
    if (!ok) {
        return std::nullopt;
    }
    return spec;
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
