#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

namespace quorlex {

// How an attempt to open a stream ended.
enum class OpenStatus {
    Opened,
    Failed,
    PinRefused, // the PIN could not be set up; the attempt failed
};

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    // For the developer when the connect itself failed; empty otherwise.
    std::u16string diagnostic;
};

// One connection to a receiver as a stream of bytes, whatever carries it.
// The link's connection worker opens it, its reader thread waits and reads,
// the caller's thread writes, and any thread may shut it down, all at once;
// every operation must be safe to call concurrently. Destruction releases
// the connection; only the last user of the stream destroys it.
class ByteStream {
public:
    virtual ~ByteStream() = default;

    // The link kind (LinkTarget.h) and a description of the far end for the
    // wire log, never holding a PIN or a password.
    virtual int32_t Kind() const = 0;
    virtual std::string Describe() const = 0;

    // Blocks until the stream is open or the attempt failed. Returns soon
    // (with any result) once stop is requested or Shutdown() is called.
    virtual OpenResult Open(std::stop_token stop) = 0;
    // 1 readable (data, end of stream or a pending error), 0 time-out, -1 failure.
    // Shutdown() makes it return at once.
    virtual int WaitReadable(std::chrono::milliseconds timeout) = 0;
    // > 0 bytes read, 0 the peer closed (also after Shutdown()), -1 failure
    // (see LastError). Called only after WaitReadable returned 1.
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
    // Bytes accepted, -1 failure (see LastError). Never raises a signal.
    virtual std::ptrdiff_t Write(const char* bytes, std::size_t size) = 0;
    // Both directions; wakes Open, WaitReadable and Read in other threads.
    // Later calls do nothing.
    virtual void Shutdown() = 0;
    // errno value of the calling thread's last failed call above (EAGAIN or
    // EWOULDBLOCK when a read would block).
    virtual int LastError() = 0;
};

} // namespace quorlex
