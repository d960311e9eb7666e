#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorlex {

// Carries whole service discovery packets (an L2CAP channel in practice).
class SdpTransport {
public:
    virtual ~SdpTransport() = default;
    // 0 or an errno value.
    virtual int Send(const std::vector<uint8_t>& pdu) = 0;
    // One whole packet. 0, or an errno value (ETIMEDOUT when none came in time).
    virtual int Receive(std::vector<uint8_t>& pdu) = 0;
};

// A minimal service discovery client: one ServiceSearchAttribute transaction,
// followed through its continuation packets.
class SdpClient {
public:
    // Whole answers beyond this are not a receiver's; stop instead of growing.
    static constexpr size_t kMaxAttributeBytes = 65536;
    static constexpr int kMaxRounds = 64;

    explicit SdpClient(SdpTransport& transport) : transport_(transport) {}

    // Asks for one attribute of every record whose class list holds the 16-bit
    // UUID. On success attributeLists is the server's AttributeLists data
    // element, all continuation parts joined. 0, EPROTO when the server
    // answered with an error, EBADMSG on a malformed answer, E2BIG past the
    // limits above, or the transport's error.
    int SearchAttribute(uint16_t serviceClass, uint16_t attributeId,
                        std::vector<uint8_t>& attributeLists);

private:
    std::vector<uint8_t> BuildRequest(uint16_t serviceClass, uint16_t attributeId,
                                      const std::vector<uint8_t>& continuation) const;
    int ReadResponse(const std::vector<uint8_t>& pdu, std::vector<uint8_t>& attributeLists,
                     std::vector<uint8_t>& continuation) const;

    SdpTransport& transport_;
    uint16_t transactionId_ = 0;
};

} // namespace quorlex
