#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quorlex {

// Service discovery data element types (the upper five bits of the header byte).
enum class SdpType : uint8_t {
    Nil = 0,
    UnsignedInt = 1,
    SignedInt = 2,
    Uuid = 3,
    Text = 4,
    Boolean = 5,
    Sequence = 6,
    Alternative = 7,
    Url = 8,
};

// One decoded data element. value views the bytes it was parsed from, so the
// element lives no longer than those bytes.
struct SdpElement {
    SdpType type = SdpType::Nil;
    std::span<const uint8_t> value; // the data of a non-container element
    std::vector<SdpElement> items;  // the elements of a sequence or alternative

    bool IsContainer() const { return type == SdpType::Sequence || type == SdpType::Alternative; }
    // Big-endian value of an integer or UUID of at most 8 bytes; 0 otherwise.
    uint64_t Number() const;
};

// Deeper nesting is refused so that hostile input cannot exhaust the stack.
inline constexpr int kMaxSdpDepth = 32;

// Parses bytes that must form exactly one well-formed data element: every
// type and size descriptor valid, every length within its container.
std::optional<SdpElement> ParseSdpElement(std::span<const uint8_t> bytes);

} // namespace quorlex
