#include "devices/DeviceSearch.h"

#include "common/Text.h"
#include "link/ReceiverLink.h"

#include <algorithm>

namespace quorlex {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool HasAddress(const std::vector<KnownDevice>& devices, std::u16string_view address) {
    return std::any_of(devices.begin(), devices.end(),
                       [&](const KnownDevice& d) { return d.address == address; });
}

} // namespace

std::u16string_view AdapterStateText(AdapterState state) {
    switch (state) {
    case AdapterState::NoService:
        return u"蓝牙服务没有运行，请检查!";
    case AdapterState::NoAdapter:
        return u"没有找到蓝牙适配器，请检查!";
    case AdapterState::PoweredOff:
    case AdapterState::CannotPowerOn:
        return u"无法打开蓝牙适配器，请检查!";
    case AdapterState::Usable:
        break;
    }
    return {};
}

std::u16string_view ConnectFailedText(int32_t linkKind) {
    return linkKind == kLinkKindBluetooth ? u"蓝牙连接失败，请检查!" : u"连接失败，请检查!";
}

std::vector<std::u16string> InquiryTexts(const ReceiverLink& link) {
    const auto count = static_cast<size_t>(std::max(link.DeviceCount(), 0));
    std::vector<char16_t> slots(count * DeviceList::kSlotUnits, u'\0');
    link.FormatDevices(slots);
    std::vector<std::u16string> texts;
    texts.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::u16string_view slot(slots.data() + i * DeviceList::kSlotUnits,
                                       DeviceList::kSlotUnits);
        texts.emplace_back(slot.substr(0, slot.find(u'\0')));
    }
    return texts;
}

void MergeFoundDevices(std::vector<KnownDevice>& devices, std::span<const std::u16string> found) {
    for (const std::u16string& text : found) {
        const size_t first = text.find(u':');
        const std::u16string_view whole(text);
        const std::u16string_view name = whole.substr(0, first);
        std::u16string_view address;
        if (first != std::u16string_view::npos) {
            const std::u16string_view rest = whole.substr(first + 1);
            address = rest.substr(0, rest.find(u':'));
        }
        if (name.empty() || HasAddress(devices, address)) {
            continue;
        }
        devices.push_back(
            {std::u16string(name), std::u16string(address), std::u16string(kDefaultPin)});
    }
}

uint64_t ParseHexAddress(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        HexDigitValue(text[i + 2]) >= 0) {
        i += 2;
    }
    uint64_t value = 0;
    for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
        value = (value << 4) | static_cast<uint64_t>(HexDigitValue(text[i]));
    }
    return value;
}

} // namespace quorlex
