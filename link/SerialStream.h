#pragma once

#include "link/ByteStream.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <termios.h>

namespace quorlex {

// A receiver on a serial line: a tty (a USB adapter, a built-in port, a
// pseudo-terminal in tests) opened exclusively in raw mode, 8N1, without
// flow control. A device that goes away (an adapter unplugged) fails reads
// and writes, so the link ends as a dropped Bluetooth link does. The line's
// settings are put back when the stream is released.
class SerialStream final : public ByteStream {
public:
    // A send that finds no room in the line's buffer for this long fails.
    static constexpr std::chrono::milliseconds kWriteLimit{5000};

    SerialStream(std::string path, int baud);
    ~SerialStream() override;
    SerialStream(const SerialStream&) = delete;
    SerialStream& operator=(const SerialStream&) = delete;

    int32_t Kind() const override;
    std::string Describe() const override;
    OpenResult Open(std::stop_token stop) override;
    int WaitReadable(std::chrono::milliseconds timeout) override;
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::ptrdiff_t Write(const char* bytes, std::size_t size) override;
    void Shutdown() override;
    int LastError() override;

private:
    // 0 when the line is set up, otherwise the errno of the failure.
    int SetUpLine(int device);
    OpenResult Failure(int error) const;
    bool IsShutDown();

    const std::string path_;
    const int baud_;
    const int wakeFd_;
    std::mutex mutex_; // orders publishing the device against Shutdown()
    std::atomic<int> fd_{-1};
    bool shutDown_ = false;
    termios saved_{};
    bool restore_ = false;
};

} // namespace quorlex
