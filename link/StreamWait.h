#pragma once

#include <chrono>

namespace quorlex {

enum class WaitOutcome { Ready, Woken, TimedOut, Failed };

// Waits until fd has one of events (or a hang-up or error), or wakeFd becomes
// readable, at most timeout (negative: no limit). Retries on signals.
WaitOutcome WaitFor(int fd, short events, int wakeFd, std::chrono::milliseconds timeout);

// WaitFor(POLLIN) as ByteStream::WaitReadable answers: 1 readable or woken
// (the read that follows sees why), 0 timed out, -1 failed.
int WaitReadableFor(int fd, int wakeFd, std::chrono::milliseconds timeout);

// An event descriptor that wakes waiters once signalled and stays signalled;
// -1 when none can be made.
int MakeWakeDescriptor();
void SignalWake(int wakeFd);

} // namespace quorlex
