#pragma once

#include <string>
#include <utility>

namespace quorlex {

// A receiver the tool knows, with the PIN to connect with.
struct KnownDevice {
    KnownDevice() = default;
    KnownDevice(std::u16string name, std::u16string address, std::u16string pin,
                std::u16string kind = {})
        : name(std::move(name)), address(std::move(address)), pin(std::move(pin)),
          kind(std::move(kind)) {}

    std::u16string name;    // as the inquiry reported it, or as the surveyor named it
    std::u16string address; // Bluetooth: 12 lowercase hex digits, upper 16 bits first;
                            // otherwise where the receiver is ("host:port", "path:baud")
    std::u16string pin;     // Bluetooth only
    // How it is reached: empty for Bluetooth, else a link kind's name
    // ("tcp", "serial"); a name this version does not know is kept as it is.
    std::u16string kind;

    bool operator==(const KnownDevice&) const = default;
};

} // namespace quorlex
