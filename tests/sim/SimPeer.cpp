#include "tests/sim/SimPeer.h"

#include "common/CodePage.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace quorlex::test {

SimPeer::SimPeer(ReceiverSimulator& simulator) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        ADD_FAILURE() << "socketpair failed";
        return;
    }
    fd_ = fds[0];
    simulator.Attach(fds[1]);
}

SimPeer::~SimPeer() {
    Close();
}

void SimPeer::Close() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

void SimPeer::Write(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ASSERT_GT(n, 0) << "send failed";
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::optional<std::string> SimPeer::ReadChunk(std::chrono::milliseconds timeout) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) {
        return std::nullopt;
    }
    char buffer[4096];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) {
        return std::string();
    }
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::vector<std::string> SimPeer::ReadUntil(std::string_view marker,
                                            std::chrono::milliseconds timeout) {
    std::vector<std::string> lines;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::size_t end;
        while ((end = pending_.find("\r\n")) != std::string::npos) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 2);
            if (lines.back().find(marker) != std::string::npos) {
                return lines;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return lines;
        }
        const std::optional<std::string> chunk = ReadChunk(left);
        if (!chunk || chunk->empty()) {
            return lines;
        }
        pending_ += *chunk;
    }
}

std::vector<std::string> SimPeer::Exchange(std::string_view command, std::string_view marker,
                                           std::chrono::milliseconds timeout) {
    Send(command);
    return ReadUntil(marker, timeout);
}

bool SimPeer::SeesEndOfStream(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        const std::optional<std::string> chunk = ReadChunk(left);
        if (!chunk) {
            return false;
        }
        if (chunk->empty()) {
            return true;
        }
        pending_ += *chunk;
    }
}

namespace {

// The tool reads the line as code page 936 text and sums the low bytes of its
// UTF-16 units; for ASCII that is the XOR of the bytes.
std::string HexSum(std::string_view bodyBytes) {
    unsigned sum = 0;
    for (const char16_t unit : DecodeCp936(bodyBytes)) {
        sum ^= unit & 0xFFu;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[sum >> 4], kHex[sum & 15]};
}

} // namespace

bool ChecksumValid(std::string_view line) {
    const std::size_t star = line.rfind('*');
    if (line.size() < 4 || line[0] != '@' || star == std::string_view::npos ||
        star + 3 != line.size()) {
        return false;
    }
    const std::string digits = HexSum(line.substr(1, star - 1));
    return line[star + 1] == digits[0] && line[star + 2] == digits[1];
}

std::string Checksummed(std::string_view body) {
    // Appended rather than "@" + ...: GCC 12 at -O3 sees a false overlap in the latter.
    std::string line = "@";
    line.append(body).append(1, '*').append(HexSum(body));
    return line;
}

std::optional<std::string> KeyLineValue(std::string_view line, std::string_view key) {
    const std::string prefix = "@GNSS,GET," + std::string(key) + ",OK,";
    const std::size_t star = line.rfind('*');
    if (line.substr(0, prefix.size()) != prefix || star == std::string_view::npos ||
        star < prefix.size()) {
        return std::nullopt;
    }
    return std::string(line.substr(prefix.size(), star - prefix.size()));
}

std::string FindKeyLine(const std::vector<std::string>& lines, std::string_view key) {
    for (const std::string& line : lines) {
        if (KeyLineValue(line, key)) {
            return line;
        }
    }
    return {};
}

} // namespace quorlex::test
