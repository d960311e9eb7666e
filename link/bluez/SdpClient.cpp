#include "link/bluez/SdpClient.h"

#include <cerrno>

namespace quorlex {

namespace {

constexpr uint8_t kErrorResponse = 0x01;
constexpr uint8_t kSearchAttributeRequest = 0x06;
constexpr uint8_t kSearchAttributeResponse = 0x07;
constexpr size_t kHeaderSize = 5;
constexpr size_t kMaxContinuation = 16;
constexpr uint16_t kMaxAttributeByteCount = 0xFFFF;

// Data element headers: sequence with 8-bit length, 16-bit UUID, 32-bit unsigned.
constexpr uint8_t kSequence8 = 0x35;
constexpr uint8_t kUuid16 = 0x19;
constexpr uint8_t kUint32 = 0x0A;

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

uint16_t GetU16(const std::vector<uint8_t>& in, size_t at) {
    return static_cast<uint16_t>((in[at] << 8) | in[at + 1]);
}

} // namespace

int SdpClient::SearchAttribute(uint16_t serviceClass, uint16_t attributeId,
                               std::vector<uint8_t>& attributeLists) {
    std::vector<uint8_t> joined;
    std::vector<uint8_t> continuation;
    for (int round = 0; round < kMaxRounds; ++round) {
        ++transactionId_;
        if (const int error =
                transport_.Send(BuildRequest(serviceClass, attributeId, continuation));
            error != 0) {
            return error;
        }
        std::vector<uint8_t> pdu;
        if (const int error = transport_.Receive(pdu); error != 0) {
            return error;
        }
        if (const int error = ReadResponse(pdu, joined, continuation); error != 0) {
            return error;
        }
        if (joined.size() > kMaxAttributeBytes) {
            return E2BIG;
        }
        if (continuation.empty()) {
            attributeLists = std::move(joined);
            return 0;
        }
    }
    return E2BIG;
}

std::vector<uint8_t> SdpClient::BuildRequest(uint16_t serviceClass, uint16_t attributeId,
                                             const std::vector<uint8_t>& continuation) const {
    std::vector<uint8_t> params = {kSequence8, 3, kUuid16};
    PutU16(params, serviceClass);
    PutU16(params, kMaxAttributeByteCount);
    // The attribute list as a range from the attribute to itself.
    params.insert(params.end(), {kSequence8, 5, kUint32});
    PutU16(params, attributeId);
    PutU16(params, attributeId);
    params.push_back(static_cast<uint8_t>(continuation.size()));
    params.insert(params.end(), continuation.begin(), continuation.end());

    std::vector<uint8_t> pdu = {kSearchAttributeRequest};
    PutU16(pdu, transactionId_);
    PutU16(pdu, static_cast<uint16_t>(params.size()));
    pdu.insert(pdu.end(), params.begin(), params.end());
    return pdu;
}

int SdpClient::ReadResponse(const std::vector<uint8_t>& pdu, std::vector<uint8_t>& attributeLists,
                            std::vector<uint8_t>& continuation) const {
    if (pdu.size() < kHeaderSize || GetU16(pdu, 1) != transactionId_) {
        return EBADMSG;
    }
    const size_t paramLength = GetU16(pdu, 3);
    if (paramLength > pdu.size() - kHeaderSize) {
        return EBADMSG;
    }
    if (pdu[0] == kErrorResponse) {
        return EPROTO;
    }
    // AttributeListsByteCount, the bytes, and at least the continuation length.
    if (pdu[0] != kSearchAttributeResponse || paramLength < 3) {
        return EBADMSG;
    }
    const size_t count = GetU16(pdu, kHeaderSize);
    const size_t continuationAt = kHeaderSize + 2 + count;
    if (2 + count + 1 > paramLength) {
        return EBADMSG;
    }
    const size_t continuationLength = pdu[continuationAt];
    if (continuationLength > kMaxContinuation ||
        2 + count + 1 + continuationLength != paramLength) {
        return EBADMSG;
    }
    const auto first = pdu.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + 2);
    attributeLists.insert(attributeLists.end(), first, first + static_cast<std::ptrdiff_t>(count));
    const auto state = pdu.begin() + static_cast<std::ptrdiff_t>(continuationAt + 1);
    continuation.assign(state, state + static_cast<std::ptrdiff_t>(continuationLength));
    return 0;
}

} // namespace quorlex
