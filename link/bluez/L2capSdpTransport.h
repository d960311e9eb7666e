#pragma once

#include "link/bluez/SdpClient.h"

#include <chrono>
#include <cstdint>
#include <stop_token>

namespace quorlex {

// The service discovery channel to a device: L2CAP, PSM 1. Every wait gives
// up at the time-out or as soon as stop is requested (ECANCELED).
class L2capSdpTransport : public SdpTransport {
public:
    L2capSdpTransport(std::stop_token stop, std::chrono::milliseconds timeout)
        : stop_(std::move(stop)), timeout_(timeout) {}
    ~L2capSdpTransport() override;
    L2capSdpTransport(const L2capSdpTransport&) = delete;
    L2capSdpTransport& operator=(const L2capSdpTransport&) = delete;

    // 0 or an errno value.
    int Connect(uint64_t address);

    int Send(const std::vector<uint8_t>& pdu) override;
    int Receive(std::vector<uint8_t>& pdu) override;

private:
    int Wait(short events);

    std::stop_token stop_;
    std::chrono::milliseconds timeout_;
    int fd_ = -1;
};

} // namespace quorlex
