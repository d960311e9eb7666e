#pragma once

#include "link/BluetoothPlatform.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorlex {

struct DeviceEntry {
    uint64_t address = 0;
    std::u16string name; // at most kMaxNameUnits units
};

// The devices the last successful inquiry found, in inquiry order.
class DeviceList {
public:
    static constexpr std::size_t kMaxNameUnits = 39;
    // UTF-16 units of one slot of the device text, terminator included.
    static constexpr std::size_t kSlotUnits = 128;

    void Replace(const std::vector<InquiryDevice>& found);
    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::vector<DeviceEntry>& Entries() const { return entries_; }

    // Writes "name:hhhhllllllll" into one zero-terminated slot per entry;
    // entries beyond the slots that out holds are left out.
    void Format(std::span<char16_t> out) const;

private:
    std::vector<DeviceEntry> entries_;
};

} // namespace quorlex
