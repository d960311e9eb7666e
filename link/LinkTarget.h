#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorlex {

// How a receiver is reached; the values are those of the device record.
inline constexpr int32_t kLinkKindBluetooth = 2;
inline constexpr int32_t kLinkKindTcp = 3;
inline constexpr int32_t kLinkKindSerial = 4;

// The serial line rate a cable connection uses unless told otherwise.
inline constexpr int kDefaultSerialBaud = 115200;

// One receiver to connect to. Only the fields of its kind are used.
struct LinkTarget {
    int32_t kind = kLinkKindBluetooth;
    // Bluetooth: the device address (48 bits used) and the PIN to pair with.
    uint64_t address = 0;
    std::u16string pin;
    // TCP: a host name or an IPv4/IPv6 address, and the port.
    std::string host;
    uint16_t port = 0;
    // Serial: the tty device and its line rate.
    std::string path;
    int baud = kDefaultSerialBaud;
};

// Whether the kind is one this program can connect with.
bool IsKnownLinkKind(int32_t kind);

// "bluetooth", "tcp" or "serial"; "unknown" otherwise. Never changes: wire
// logs and session files carry it.
std::string_view LinkKindName(int32_t kind);
std::optional<int32_t> LinkKindFromName(std::string_view name);

// Where a TCP or serial receiver is, as the device list shows it: "host:port"
// ("[v6-address]:port" for an IPv6 address) or "path:baud".
std::u16string LinkLocationText(const LinkTarget& target);

// Reads such a text back. A TCP location needs a host and a port from 1 to
// 65535; brackets are needed around an IPv6 address only. A serial location
// is an absolute device path, optionally followed by ":baud" (the default
// rate when missing); the rate must be one the system knows. nullopt when the
// text is not a location of that kind.
std::optional<LinkTarget> ParseLinkLocation(int32_t kind, std::u16string_view text);

// The line rates a serial link can be opened with, in ascending order.
std::span<const int> SerialBaudRates();
bool IsSerialBaudRate(int baud);

} // namespace quorlex
