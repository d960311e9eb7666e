#pragma once

#include "sim/ReceiverSimulator.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace quorlex {

// What a served connection asks of the receiver behind it. Called on the
// connection's thread.
class LineHandler {
public:
    struct Reply {
        // Each line as its bytes on the wire (none: no answer).
        std::vector<std::string> lines;
        // The connection is cut instead of sending the lines.
        bool dropInstead = false;
    };

    virtual ~LineHandler() = default;
    // What to do about one received command line.
    virtual Reply Answer(const std::string& command) = 0;
    // Called once the answer has been sent, or was never to be sent.
    virtual void Answered() = 0;
    virtual SimulatorFaults CurrentFaults() const = 0;
    virtual int CurrentLineRate() const = 0;
};

// One stream socket (or pseudo-terminal master) served on its own thread:
// command lines in, answers out, paced and disturbed as the handler's
// settings say. Owns the descriptor.
class SimConnection {
public:
    SimConnection(int fd, LineHandler& handler);
    // Stops the thread, joins it and closes the socket.
    ~SimConnection();
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;

    bool Running() const { return running_.load(); }
    std::size_t BytesSent() const { return bytesSent_.load(); }

private:
    using Clock = std::chrono::steady_clock;

    void Serve();
    // False when the connection is to end.
    bool TakeLines(std::string& pending);
    bool Reply(const std::vector<std::string>& lines);
    bool Transmit(std::string_view bytes, const SimulatorFaults& faults, int lineRate);
    bool WriteAll(std::string_view bytes);
    // Ends the connection as a dropped link: a socket is shut down, a
    // terminal closed, as when a cable is pulled.
    void Cut();
    ssize_t ReceiveSome(char* buffer, std::size_t size);
    ssize_t SendSome(std::string_view bytes);
    // Waits for the duration; false when told to stop meanwhile.
    bool Pause(Clock::duration duration);
    bool PauseUntil(Clock::time_point when);

    int fd_;
    bool isSocket_ = true;
    int wakeFd_;
    LineHandler& handler_;
    std::atomic<bool> running_{true};
    std::atomic<std::size_t> bytesSent_{0};
    Clock::time_point lineFree_{};
    bool discarding_ = false;
    std::thread thread_;
};

} // namespace quorlex
