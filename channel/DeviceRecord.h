#pragma once

#include "link/LinkTarget.h"

#include <cstdint>
#include <string>
#include <utility>

namespace quorlex {

// The receiver chosen in the device dialog.
struct DeviceRecord {
    DeviceRecord() = default;
    DeviceRecord(int32_t linkKind, std::u16string name, uint64_t address, std::u16string pin,
                 std::u16string location = {})
        : linkKind(linkKind), name(std::move(name)), address(address), pin(std::move(pin)),
          location(std::move(location)) {}

    int32_t linkKind = 0; // kLinkKindBluetooth, kLinkKindTcp or kLinkKindSerial
    std::u16string name;
    uint64_t address = 0; // Bluetooth
    std::u16string pin;   // Bluetooth
    // TCP and serial: where the receiver is, as LinkLocationText writes it.
    std::u16string location;
};

} // namespace quorlex
