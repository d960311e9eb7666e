#pragma once

#include "devices/KnownDevice.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quorlex {

// The link kind of a known receiver (LinkTarget.h); 0 for a kind this
// version does not know.
int32_t KnownDeviceKind(const KnownDevice& device);

// A TCP or serial receiver to add to the list: the location is read as
// ParseLinkLocation reads it and kept in the form the list shows; a name
// left empty becomes that location. nullopt when the location is not one of
// that kind.
std::optional<KnownDevice> NewLinkDevice(int32_t kind, std::u16string_view name,
                                         std::u16string_view location);

// The text without the blanks (ASCII and ideographic) around it.
std::u16string_view Trimmed(std::u16string_view text);

// Whether the list holds a receiver reached the same way at the same address.
bool IsListed(const std::vector<KnownDevice>& devices, const KnownDevice& device);

} // namespace quorlex
