#pragma once

#include "link/ByteStream.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

struct addrinfo;

namespace quorlex {

// How long an idle TCP link may stay silent before the system probes it, and
// how long probes and unacknowledged sends may go unanswered before the link
// counts as gone (a receiver carried out of Wi-Fi range sends no close).
struct TcpTimes {
    std::chrono::milliseconds connect{10000};
    std::chrono::seconds keepAliveIdle{10};
    std::chrono::seconds keepAliveInterval{5};
    int keepAliveProbes = 3;
    std::chrono::milliseconds unacknowledged{20000};
    // A send that finds no room for this long fails.
    std::chrono::milliseconds send{5000};
};

// A TCP connection to a receiver's network port or a serial-to-network
// bridge: host names and IPv4/IPv6 addresses, each address tried in turn
// within the connect time.
class TcpStream final : public ByteStream {
public:
    TcpStream(std::string host, uint16_t port, TcpTimes times = {});
    ~TcpStream() override;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    int32_t Kind() const override;
    std::string Describe() const override;
    OpenResult Open(std::stop_token stop) override;
    int WaitReadable(std::chrono::milliseconds timeout) override;
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::ptrdiff_t Write(const char* bytes, std::size_t size) override;
    void Shutdown() override;
    int LastError() override;

private:
    // 0 connected, otherwise the errno of the failure.
    int ConnectTo(const ::addrinfo& address, std::chrono::steady_clock::time_point deadline);
    bool Publish(int fd);
    void Unpublish(int fd);
    OpenResult Failure(int error) const;
    bool IsShutDown();

    const std::string host_;
    const uint16_t port_;
    const TcpTimes times_;
    const int wakeFd_;
    std::mutex mutex_; // orders publishing the socket against Shutdown()
    std::atomic<int> fd_{-1};
    bool shutDown_ = false;
};

} // namespace quorlex
