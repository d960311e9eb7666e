#include "channel/Cp936ChunkDecoder.h"

#include "common/CodePage.h"

namespace quorlex {

namespace {

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// Whether the bytes end with the first byte of a two-byte character. Pairs
// are followed from the start, since a trail byte can look like a lead byte;
// a lead byte without a valid trail byte stands alone, as the decoder takes it.
bool EndsMidCharacter(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (!IsLeadByte(static_cast<unsigned char>(bytes[i]))) {
            ++i;
        } else if (i + 1 == bytes.size()) {
            return true;
        } else {
            i += IsTrailByte(static_cast<unsigned char>(bytes[i + 1])) ? 2 : 1;
        }
    }
    return false;
}

} // namespace

std::u16string Cp936ChunkDecoder::Decode(std::string_view chunk) {
    const size_t zero = chunk.find('\0');
    std::string_view bytes = chunk.substr(0, zero);
    std::string joined;
    if (!carry_.empty()) {
        joined = carry_;
        joined.append(bytes);
        bytes = joined;
        carry_.clear();
    }
    if (zero == std::string_view::npos && EndsMidCharacter(bytes)) {
        carry_.push_back(bytes.back());
        bytes.remove_suffix(1);
    }
    return DecodeCp936(bytes);
}

} // namespace quorlex
