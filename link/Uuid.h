#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorlex {

// A 128-bit UUID in the field layout Bluetooth service classes are written in.
struct Uuid128 {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    bool IsNil() const { return *this == Uuid128{}; }
    friend bool operator==(const Uuid128&, const Uuid128&) = default;
};

// Reads "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (either case, trailing blanks
// allowed). Every one of the eleven fields must be there, else nullopt.
std::optional<Uuid128> ParseUuid(std::string_view text);

// The Serial Port service class, "00001101-0000-1000-8000-00805F9B34FB".
Uuid128 SerialPortServiceClass();

} // namespace quorlex
