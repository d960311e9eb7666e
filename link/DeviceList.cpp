#include "link/DeviceList.h"

#include "common/Format.h"

#include <algorithm>

namespace quorlex {
namespace {

// The name field is zero-terminated: it ends at an embedded zero, and at the
// field's size.
std::u16string FieldName(const std::u16string& name) {
    std::u16string_view text = name;
    text = text.substr(0, text.find(u'\0'));
    return std::u16string(text.substr(0, DeviceList::kMaxNameUnits));
}

} // namespace

void DeviceList::Replace(const std::vector<InquiryDevice>& found) {
    entries_.clear();
    entries_.reserve(found.size());
    for (const InquiryDevice& device : found) {
        entries_.push_back({device.address, FieldName(device.name)});
    }
}

void DeviceList::Format(std::span<char16_t> out) const {
    const std::size_t slots = std::min(entries_.size(), out.size() / kSlotUnits);
    for (std::size_t i = 0; i < slots; ++i) {
        const DeviceEntry& entry = entries_[i];
        const auto upper = static_cast<int64_t>((entry.address >> 32) & 0xFFFF);
        const auto lower = static_cast<int64_t>(entry.address & 0xFFFFFFFF);
        const std::u16string text = FormatText(u"%s:%04x%08x", {entry.name, upper, lower});
        const auto slot = out.subspan(i * kSlotUnits, kSlotUnits);
        const std::size_t units = std::min(text.size(), kSlotUnits - 1);
        std::fill(std::copy_n(text.begin(), units, slot.begin()), slot.end(), u'\0');
    }
}

} // namespace quorlex
