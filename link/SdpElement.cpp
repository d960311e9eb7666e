#include "link/SdpElement.h"

namespace quorlex {
namespace {

class SdpReader {
public:
    explicit SdpReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ == bytes_.size(); }

    bool ReadElement(SdpElement& element, int depth) {
        uint8_t header = 0;
        if (depth > kMaxSdpDepth || !ReadByte(header)) {
            return false;
        }
        const uint8_t typeCode = header >> 3;
        const uint8_t sizeIndex = header & 7;
        if (typeCode > static_cast<uint8_t>(SdpType::Url) || !SizeIndexFits(typeCode, sizeIndex)) {
            return false;
        }
        element.type = static_cast<SdpType>(typeCode);
        size_t size = 0;
        if (!ReadSize(typeCode, sizeIndex, size) || size > bytes_.size() - pos_) {
            return false;
        }
        const auto content = bytes_.subspan(pos_, size);
        pos_ += size;
        if (!element.IsContainer()) {
            element.value = content;
            return true;
        }
        return ReadItems(content, element.items, depth + 1);
    }

private:
    static bool ReadItems(std::span<const uint8_t> content, std::vector<SdpElement>& items,
                          int depth) {
        SdpReader inner(content);
        while (!inner.AtEnd()) {
            SdpElement item;
            if (!inner.ReadElement(item, depth)) {
                return false;
            }
            items.push_back(std::move(item));
        }
        return true;
    }

    static bool SizeIndexFits(uint8_t typeCode, uint8_t sizeIndex) {
        switch (static_cast<SdpType>(typeCode)) {
        case SdpType::Nil:
        case SdpType::Boolean:
            return sizeIndex == 0;
        case SdpType::UnsignedInt:
        case SdpType::SignedInt:
            return sizeIndex <= 4;
        case SdpType::Uuid:
            return sizeIndex == 1 || sizeIndex == 2 || sizeIndex == 4;
        default:
            return sizeIndex >= 5;
        }
    }

    bool ReadSize(uint8_t typeCode, uint8_t sizeIndex, size_t& size) {
        if (sizeIndex < 5) {
            size = typeCode == static_cast<uint8_t>(SdpType::Nil) ? 0 : size_t{1} << sizeIndex;
            return true;
        }
        const int lengthBytes = 1 << (sizeIndex - 5);
        uint32_t length = 0;
        for (int i = 0; i < lengthBytes; ++i) {
            uint8_t byte = 0;
            if (!ReadByte(byte)) {
                return false;
            }
            length = (length << 8) | byte;
        }
        size = length;
        return true;
    }

    bool ReadByte(uint8_t& byte) {
        if (pos_ >= bytes_.size()) {
            return false;
        }
        byte = bytes_[pos_++];
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

} // namespace

uint64_t SdpElement::Number() const {
    const bool numeric =
        type == SdpType::UnsignedInt || type == SdpType::SignedInt || type == SdpType::Uuid;
    if (!numeric || value.size() > 8) {
        return 0;
    }
    uint64_t number = 0;
    for (const uint8_t byte : value) {
        number = (number << 8) | byte;
    }
    return number;
}

std::optional<SdpElement> ParseSdpElement(std::span<const uint8_t> bytes) {
    SdpReader reader(bytes);
    SdpElement element;
    if (!reader.ReadElement(element, 0) || !reader.AtEnd()) {
        return std::nullopt;
    }
    return element;
}

} // namespace quorlex
