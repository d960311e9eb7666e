#include "link/bluez/BluezAddress.h"

#include "common/Text.h"

namespace quorlex {

namespace {

constexpr size_t kAddressTextLength = 17;
constexpr std::string_view kDevicePrefix = "dev_";

} // namespace

bool ParseBluezAddress(std::string_view text, uint64_t& address, char separator) {
    if (text.size() != kAddressTextLength) {
        return false;
    }
    uint64_t value = 0;
    for (size_t octet = 0; octet < 6; ++octet) {
        const size_t at = octet * 3;
        if (octet > 0 && text[at - 1] != separator) {
            return false;
        }
        const int high = HexDigitValue(text[at]);
        const int low = HexDigitValue(text[at + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        value = (value << 8) | static_cast<uint64_t>(high * 16 + low);
    }
    address = value;
    return true;
}

std::string FormatBluezAddress(uint64_t address, char separator) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(kAddressTextLength);
    for (int octet = 5; octet >= 0; --octet) {
        const auto value = static_cast<unsigned>((address >> (octet * 8)) & 0xFF);
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
        if (octet > 0) {
            text += separator;
        }
    }
    return text;
}

std::string BluezDevicePath(std::string_view adapterPath, uint64_t address) {
    std::string path(adapterPath);
    path += '/';
    path += kDevicePrefix;
    path += FormatBluezAddress(address, '_');
    return path;
}

std::array<uint8_t, 6> BluezAddressBytes(uint64_t address) {
    std::array<uint8_t, 6> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>((address >> (8 * i)) & 0xFF);
    }
    return bytes;
}

bool AddressFromDevicePath(std::string_view path, uint64_t& address) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0) {
        return false;
    }
    const std::string_view leaf = path.substr(slash + 1);
    if (!leaf.starts_with(kDevicePrefix)) {
        return false;
    }
    return ParseBluezAddress(leaf.substr(kDevicePrefix.size()), address, '_');
}

} // namespace quorlex
