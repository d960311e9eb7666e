#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorlex {

// Device addresses travel as 64-bit numbers (48 bits used, the first octet of
// the text in bits 40-47); the daemon writes them as "AA:BB:CC:DD:EE:FF" and
// names device objects "<adapter>/dev_AA_BB_CC_DD_EE_FF".

// False (and address untouched) unless text is exactly six two-digit hex
// octets joined by separator.
bool ParseBluezAddress(std::string_view text, uint64_t& address, char separator = ':');

std::string FormatBluezAddress(uint64_t address, char separator = ':');

std::string BluezDevicePath(std::string_view adapterPath, uint64_t address);

// The six octets in the order sockets carry them: least significant first.
std::array<uint8_t, 6> BluezAddressBytes(uint64_t address);

// False unless path is a device object directly below some adapter.
bool AddressFromDevicePath(std::string_view path, uint64_t& address);

} // namespace quorlex
