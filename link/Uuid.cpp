#include "link/Uuid.h"

#include "common/Text.h"

namespace quorlex {
namespace {

// Reads exactly digits hex digits from the front of text.
bool TakeHex(std::string_view& text, int digits, uint32_t& value) {
    if (text.size() < static_cast<size_t>(digits)) {
        return false;
    }
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = HexDigitValue(text[i]);
        if (d < 0) {
            return false;
        }
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    text.remove_prefix(digits);
    return true;
}

bool TakeDash(std::string_view& text) {
    if (text.empty() || text.front() != '-') {
        return false;
    }
    text.remove_prefix(1);
    return true;
}

bool OnlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::optional<Uuid128> ParseUuid(std::string_view text) {
    Uuid128 uuid;
    uint32_t value = 0;
    if (!TakeHex(text, 8, uuid.data1) || !TakeDash(text)) {
        return std::nullopt;
    }
    if (!TakeHex(text, 4, value) || !TakeDash(text)) {
        return std::nullopt;
    }
    uuid.data2 = static_cast<uint16_t>(value);
    if (!TakeHex(text, 4, value) || !TakeDash(text)) {
        return std::nullopt;
    }
    uuid.data3 = static_cast<uint16_t>(value);
    for (size_t i = 0; i < uuid.data4.size(); ++i) {
        if (i == 2 && !TakeDash(text)) {
            return std::nullopt;
        }
        if (!TakeHex(text, 2, value)) {
            return std::nullopt;
        }
        uuid.data4[i] = static_cast<uint8_t>(value);
    }
    if (!OnlyBlanks(text)) {
        return std::nullopt;
    }
    return uuid;
}

Uuid128 SerialPortServiceClass() {
    return ParseUuid("00001101-0000-1000-8000-00805F9B34FB\n").value_or(Uuid128{});
}

} // namespace quorlex
