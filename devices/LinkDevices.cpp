#include "devices/LinkDevices.h"

#include "common/Text.h"
#include "link/LinkTarget.h"

#include <algorithm>

namespace quorlex {
std::u16string_view Trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int32_t KnownDeviceKind(const KnownDevice& device) {
    if (device.kind.empty()) {
        return kLinkKindBluetooth;
    }
    return LinkKindFromName(ToUtf8(device.kind)).value_or(0);
}

std::optional<KnownDevice> NewLinkDevice(int32_t kind, std::u16string_view name,
                                         std::u16string_view location) {
    if (kind != kLinkKindTcp && kind != kLinkKindSerial) {
        return std::nullopt;
    }
    const std::optional<LinkTarget> target = ParseLinkLocation(kind, Trimmed(location));
    if (!target) {
        return std::nullopt;
    }
    const std::u16string where = LinkLocationText(*target);
    const std::u16string_view shownName = Trimmed(name);
    return KnownDevice(std::u16string(shownName.empty() ? std::u16string_view(where) : shownName),
                       where, u"", FromUtf8(LinkKindName(kind)));
}

bool IsListed(const std::vector<KnownDevice>& devices, const KnownDevice& device) {
    return std::any_of(devices.begin(), devices.end(), [&](const KnownDevice& listed) {
        return KnownDeviceKind(listed) == KnownDeviceKind(device) &&
               listed.address == device.address;
    });
}

} // namespace quorlex
