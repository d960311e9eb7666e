#pragma once

#include "link/BluetoothPlatform.h"
#include "link/ByteStream.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace quorlex {

// The RFCOMM connection to a receiver's Serial Port service: pairs with the
// PIN (any PIN and link key kept for the device are forgotten first, so the
// given PIN is always the one used), looks the channel up and connects.
class BluetoothSocket final : public ByteStream {
public:
    static constexpr std::size_t kMaxPinBytes = 16;

    BluetoothSocket(BluetoothPlatform& platform, uint64_t address, std::u16string_view pin);
    ~BluetoothSocket() override;
    BluetoothSocket(const BluetoothSocket&) = delete;
    BluetoothSocket& operator=(const BluetoothSocket&) = delete;

    int32_t Kind() const override;
    std::string Describe() const override;
    OpenResult Open(std::stop_token stop) override;
    int WaitReadable(std::chrono::milliseconds timeout) override;
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::ptrdiff_t Write(const char* bytes, std::size_t size) override;
    // Also forgets the link key kept for the device.
    void Shutdown() override;
    int LastError() override { return platform_.LastError(); }

    // The RFCOMM channel of the last connect, 0 before one.
    int Channel() const { return channel_.load(); }

private:
    SocketHandle Handle() const { return handle_.load(); }

    BluetoothPlatform& platform_;
    const uint64_t address_;
    const std::u16string pin_;
    std::atomic<int32_t> channel_{0};
    std::mutex handleMutex_; // orders the socket's creation against Shutdown()
    std::atomic<SocketHandle> handle_{kInvalidSocket};
    bool shutDown_ = false;
};

} // namespace quorlex
