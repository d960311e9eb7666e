#pragma once

#include <cstdint>
#include <string>

namespace quorlex {

inline constexpr int32_t kLinkKindBluetooth = 2;

// The receiver chosen in the device dialog.
struct DeviceRecord {
    int32_t linkKind = 0; // 2 = Bluetooth; no other kind is ever set
    std::u16string name;
    uint64_t address = 0;
    std::u16string pin;
};

} // namespace quorlex
