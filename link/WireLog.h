#pragma once

#include "common/FileStore.h"
#include "link/WireMask.h"
#include "link/WireTap.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

namespace quorlex {

// Writes every byte the link sends and receives, and the link's own events,
// to a file a support engineer can read: one line per piece as it went over
// the wire, with the time since the log started (on a monotonic clock), the
// link kind and the direction (see FormatWireRecord). Secrets are masked
// before anything is written (WireMask); PINs never reach it, as they are
// not sent as bytes and events never name them.
//
// A file is appended to, never replaced, so a log the surveyor already has
// is kept. Safe to call from any thread.
class WireLog final : public WireTap {
public:
    // The monotonic time; tests give their own.
    using Clock = std::function<std::chrono::microseconds()>;
    // Told (on the thread that wrote, with the log locked: it must not call
    // the log) when a write fails; logging has then stopped.
    using FailureHandler = std::function<void(const FileError&)>;

    explicit WireLog(Clock clock = {});
    ~WireLog() override;
    WireLog(const WireLog&) = delete;
    WireLog& operator=(const WireLog&) = delete;

    // Starts logging into path (created with mode 0600 when missing); a log
    // already running is stopped first. false with error when the file
    // cannot be opened or written.
    bool Start(const std::filesystem::path& path, FileError& error);
    // Writes what is held back, masked, and closes the file.
    void Stop();
    bool Active() const;
    std::filesystem::path Path() const;
    void SetFailureHandler(FailureHandler handler);

    void Sent(int32_t kind, std::string_view bytes) override;
    void Received(int32_t kind, std::string_view bytes) override;
    void Event(int32_t kind, std::string_view text) override;

private:
    void Record(int32_t kind, char direction, std::string_view bytes);
    // Writes the held bytes of both directions; called before events.
    void FlushHeld();
    // false with error when the line could not be written whole.
    bool WriteLine(const std::string& line, FileError& error);
    void Close();

    const Clock clock_;
    mutable std::mutex mutex_;
    int fd_ = -1;
    std::filesystem::path path_;
    std::chrono::microseconds start_{0};
    int32_t lastKind_ = 0; // of the latest record, for what is flushed at the end
    WireMask sentMask_;
    WireMask receivedMask_;
    FailureHandler failed_;
};

} // namespace quorlex
