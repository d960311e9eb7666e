#pragma once

#include <chrono>
#include <stop_token>

namespace quorlex {

enum class WaitResult { Ready, TimedOut, Stopped, Woken, Failed };

// Waits until fd shows one of events (or an error/hang-up), the time-out
// passes, stop is requested, or wakeFd (-1 for none) becomes readable.
// error is set on Failed only.
WaitResult WaitForSocket(int fd, short events, int wakeFd, const std::stop_token& stop,
                         std::chrono::milliseconds timeout, int& error);

// An eventfd that, once signalled, stays readable.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Signal() const;

private:
    int fd_;
};

} // namespace quorlex
