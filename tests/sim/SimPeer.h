#pragma once

#include "sim/ReceiverSimulator.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex::test {

using namespace std::chrono_literals;

// The tool's end of a socket pair whose other end a simulator serves.
class SimPeer {
public:
    // Attaches a fresh socket pair to the simulator.
    explicit SimPeer(ReceiverSimulator& simulator);
    ~SimPeer();
    SimPeer(const SimPeer&) = delete;
    SimPeer& operator=(const SimPeer&) = delete;

    // Sends raw bytes; Send adds CR LF.
    void Write(std::string_view bytes) const;
    void Send(std::string_view command) const { Write(std::string(command) + "\r\n"); }

    // One recv: the bytes of the next chunk, "" at end of stream, nullopt on time-out.
    std::optional<std::string> ReadChunk(std::chrono::milliseconds timeout);
    // Lines (without CR LF) up to and including the first that contains marker;
    // stops early, returning what it has, on time-out or end of stream.
    std::vector<std::string> ReadUntil(std::string_view marker,
                                       std::chrono::milliseconds timeout = 5s);
    // Sends a command and reads up to its line containing marker.
    std::vector<std::string> Exchange(std::string_view command, std::string_view marker,
                                      std::chrono::milliseconds timeout = 5s);
    // True when the far end closes within the time-out (buffered bytes are skipped).
    bool SeesEndOfStream(std::chrono::milliseconds timeout);
    // Everything received so far and not yet taken as lines.
    const std::string& Pending() const { return pending_; }
    void Close();

private:
    int fd_ = -1;
    std::string pending_;
};

// The checksum rule as the tool checks it, written independently of the
// simulator: "@" + body + "*" + two upper-case hex digits of the XOR of the low
// bytes of the UTF-16 units the body decodes to (the body bytes, for ASCII).
bool ChecksumValid(std::string_view line);
// A line as the receiver frames it: "@" + body + "*" + checksum.
std::string Checksummed(std::string_view body);
// The value of a key line "@GNSS,GET,<key>,OK,<value>*HH"; nullopt for other lines.
std::optional<std::string> KeyLineValue(std::string_view line, std::string_view key);
// The line of a key in a burst; "" when absent.
std::string FindKeyLine(const std::vector<std::string>& lines, std::string_view key);

} // namespace quorlex::test
