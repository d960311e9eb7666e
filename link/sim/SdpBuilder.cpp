#include "link/sim/SdpBuilder.h"

namespace quorlex {
namespace {

constexpr uint8_t kUnsigned = 1;
constexpr uint8_t kSigned = 2;
constexpr uint8_t kUuid = 3;
constexpr uint8_t kText = 4;
constexpr uint8_t kSequence = 6;
constexpr uint8_t kAlternative = 7;
constexpr uint16_t kL2cap = 0x0100;
constexpr uint16_t kRfcomm = 0x0003;
constexpr uint16_t kProtocolDescriptorList = 0x0004;

uint8_t SizeIndex(int bytes) {
    switch (bytes) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    default:
        return 4;
    }
}

void PutBigEndian(SdpBytes& out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(i >= 8 ? 0 : static_cast<uint8_t>(value >> (8 * i)));
    }
}

SdpBytes Fixed(uint8_t type, uint64_t value, int bytes, uint8_t fill = 0) {
    SdpBytes out;
    out.push_back(static_cast<uint8_t>(type << 3 | SizeIndex(bytes)));
    for (int i = bytes; i > 8; --i) {
        out.push_back(fill);
    }
    PutBigEndian(out, value, bytes > 8 ? 8 : bytes);
    return out;
}

SdpBytes Variable(uint8_t type, const SdpBytes& content) {
    SdpBytes out;
    const uint64_t size = content.size();
    if (size <= 0xFF) {
        out.push_back(static_cast<uint8_t>(type << 3 | 5));
        PutBigEndian(out, size, 1);
    } else if (size <= 0xFFFF) {
        out.push_back(static_cast<uint8_t>(type << 3 | 6));
        PutBigEndian(out, size, 2);
    } else {
        out.push_back(static_cast<uint8_t>(type << 3 | 7));
        PutBigEndian(out, size, 4);
    }
    for (const uint8_t byte : content) {
        out.push_back(byte);
    }
    return out;
}

SdpBytes Joined(const std::vector<SdpBytes>& items) {
    SdpBytes content;
    for (const SdpBytes& item : items) {
        content.insert(content.end(), item.begin(), item.end());
    }
    return content;
}

} // namespace

SdpBytes SdpUnsigned(uint64_t value, int bytes) {
    return Fixed(kUnsigned, value, bytes);
}

SdpBytes SdpSigned(int64_t value, int bytes) {
    return Fixed(kSigned, static_cast<uint64_t>(value), bytes, value < 0 ? 0xFF : 0);
}

SdpBytes SdpUuid16(uint16_t value) {
    return Fixed(kUuid, value, 2);
}
SdpBytes SdpUuid32(uint32_t value) {
    return Fixed(kUuid, value, 4);
}

SdpBytes SdpUuid128(const std::array<uint8_t, 16>& value) {
    SdpBytes out;
    out.reserve(value.size() + 1);
    out.push_back(static_cast<uint8_t>(kUuid << 3 | 4));
    for (const uint8_t byte : value) {
        out.push_back(byte);
    }
    return out;
}

SdpBytes SdpText(std::string_view text) {
    return Variable(kText, SdpBytes(text.begin(), text.end()));
}

SdpBytes SdpNil() {
    return SdpBytes{0x00};
}

SdpBytes SdpSequence(const std::vector<SdpBytes>& items) {
    return Variable(kSequence, Joined(items));
}

SdpBytes SdpAlternative(const std::vector<SdpBytes>& items) {
    return Variable(kAlternative, Joined(items));
}

SdpBytes SerialPortServiceResponse(uint8_t channel) {
    const SdpBytes protocols = SdpSequence({
        SdpSequence({SdpUuid16(kL2cap)}),
        SdpSequence({SdpUuid16(kRfcomm), SdpUnsigned(channel, 1)}),
    });
    const SdpBytes record = SdpSequence({SdpUnsigned(kProtocolDescriptorList, 2), protocols});
    return SdpSequence({record});
}

} // namespace quorlex
