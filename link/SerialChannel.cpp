#include "link/SerialChannel.h"

#include "link/SdpElement.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quorlex {
namespace {

constexpr uint16_t kProtocolDescriptorList = 0x0004;
constexpr uint64_t kRfcommShortUuid = 0x0003;
// 00000003-0000-1000-8000-00805F9B34FB: RFCOMM on the Bluetooth base UUID.
constexpr std::array<uint8_t, 16> kRfcommLongUuid = {
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};

bool IsRfcommUuid(const SdpElement& node) {
    if (node.type != SdpType::Uuid) {
        return false;
    }
    if (node.value.size() == 16) {
        return std::equal(node.value.begin(), node.value.end(), kRfcommLongUuid.begin());
    }
    return node.Number() == kRfcommShortUuid;
}

int ChannelValue(const SdpElement& node) {
    const bool integer = node.type == SdpType::UnsignedInt || node.type == SdpType::SignedInt;
    if (!integer || node.value.size() > 4) {
        return 0;
    }
    return static_cast<int>(node.Number() & 0xFF);
}

// The parameter after the first RFCOMM UUID of one protocol descriptor.
int ChannelOfDescriptor(const SdpElement& descriptor) {
    const auto& nodes = descriptor.items;
    const auto uuid = std::find_if(nodes.begin(), nodes.end(), IsRfcommUuid);
    if (uuid == nodes.end() || uuid + 1 == nodes.end()) {
        return 0;
    }
    return ChannelValue(*(uuid + 1));
}

int ChannelOfProtocolList(const SdpElement& list) {
    if (!list.IsContainer()) {
        return 0;
    }
    for (const SdpElement& descriptor : list.items) {
        if (!descriptor.IsContainer()) {
            continue;
        }
        if (const int channel = ChannelOfDescriptor(descriptor); channel != 0) {
            return channel;
        }
    }
    return 0;
}

// An attribute list: a sequence of pairs of a 16-bit attribute ID and its value.
bool IsAttributeList(const SdpElement& record) {
    if (record.type != SdpType::Sequence || record.items.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < record.items.size(); i += 2) {
        const SdpElement& id = record.items[i];
        if (id.type != SdpType::UnsignedInt || id.value.size() != 2) {
            return false;
        }
    }
    return true;
}

const SdpElement* FindAttribute(const SdpElement& record, uint16_t id) {
    for (size_t i = 0; i < record.items.size(); i += 2) {
        if (record.items[i].Number() == id) {
            return &record.items[i + 1];
        }
    }
    return nullptr;
}

} // namespace

int SerialChannelFromResponse(std::span<const uint8_t> response) {
    const auto top = ParseSdpElement(response);
    if (!top || top->type != SdpType::Sequence ||
        !std::all_of(top->items.begin(), top->items.end(), IsAttributeList)) {
        return 0;
    }
    for (const SdpElement& record : top->items) {
        const SdpElement* list = FindAttribute(record, kProtocolDescriptorList);
        if (list == nullptr) {
            continue;
        }
        if (const int channel = ChannelOfProtocolList(*list); channel != 0) {
            return channel;
        }
    }
    return 0;
}

int FindSerialChannel(BluetoothPlatform& platform, uint64_t address, std::stop_token stop) {
    std::vector<uint8_t> response;
    if (!platform.SearchSerialPortService(address, std::move(stop), response)) {
        return 0;
    }
    return SerialChannelFromResponse(response);
}

} // namespace quorlex
