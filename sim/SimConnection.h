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
    virtual ~LineHandler() = default;
    // The lines to send, each as its bytes on the wire, for one received
    // command line (none: no answer).
    virtual std::vector<std::string> Answer(const std::string& command) = 0;
    // Called once the answer has been sent, or was never to be sent.
    virtual void Answered() = 0;
    virtual SimulatorFaults CurrentFaults() const = 0;
    virtual int CurrentLineRate() const = 0;
};

// One stream socket served on its own thread: command lines in, answers
// out, paced and disturbed as the handler's settings say. Owns the socket.
class SimConnection {
public:
    SimConnection(int fd, LineHandler& handler);
    // Stops the thread, joins it and closes the socket.
    ~SimConnection();
    SimConnection(const SimConnection&) = delete;
    SimConnection& operator=(const SimConnection&) = delete;

    bool Running() const { return running.load(); }
    std::size_t BytesSent() const { return bytesSent.load(); }

private:
    using Clock = std::chrono::steady_clock;

    void Serve();
    // False when the connection is to end.
    bool TakeLines(std::string& pending);
    bool Reply(const std::vector<std::string>& lines);
    bool Transmit(std::string_view bytes, const SimulatorFaults& faults, int lineRate);
    bool WriteAll(std::string_view bytes);
    // Waits for the duration; false when told to stop meanwhile.
    bool Pause(Clock::duration duration);
    bool PauseUntil(Clock::time_point when);

    int fd;
    int wakeFd;
    LineHandler& handler;
    std::atomic<bool> running{true};
    std::atomic<std::size_t> bytesSent{0};
    Clock::time_point lineFree{};
    bool discarding = false;
    std::thread thread;
};

} // namespace quorlex
