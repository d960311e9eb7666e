#pragma once

#include <string>

namespace quorlex {

// A receiver the tool has found, with the PIN to connect with.
struct KnownDevice {
    std::u16string name;    // as the inquiry reported it
    std::u16string address; // 12 lowercase hex digits, upper 16 bits first
    std::u16string pin;

    bool operator==(const KnownDevice&) const = default;
};

} // namespace quorlex
