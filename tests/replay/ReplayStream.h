#pragma once

#include "link/ByteStream.h"
#include "link/StreamFactory.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quorlex::replay {

// The receiver's side of a recorded session, played by the test: it decides
// how each connection attempt ends, hands over recorded chunks and ends the
// link; what the tool writes is kept with the tick it was written in.
class ReplayWire {
public:
    enum class Ending { None, Closed, Failed };

    struct Sent {
        int tick = 0;
        std::string bytes;
    };

    explicit ReplayWire(int32_t kind) : kind_(kind) {}

    int32_t Kind() const { return kind_; }
    void SetTick(int tick);

    // The attempt under way (or the next one) opens, or fails.
    void Open(bool succeeds);
    void Push(std::string chunk);
    // The far end closes the link, or the link fails.
    void End(Ending how);

    // Every chunk has been taken and the reader waits for more.
    bool ReaderWaitingIdle() const;
    // A reader has taken the link's end and is reporting it, or has gone.
    bool ReaderGone() const;
    std::vector<Sent> SentBytes() const;

private:
    friend class ReplayStream;
    enum class Outcome { Pending, Opens, Fails };

    const int32_t kind_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> chunks_;
    std::vector<Sent> sent_;
    Outcome outcome_ = Outcome::Pending;
    Ending ending_ = Ending::None;
    bool readerWaiting_ = false;
    bool readerGone_ = true;
    int tick_ = 0;
};

class ReplayStream final : public ByteStream {
public:
    explicit ReplayStream(std::shared_ptr<ReplayWire> wire) : wire_(std::move(wire)) {}

    int32_t Kind() const override { return wire_->Kind(); }
    std::string Describe() const override { return "replay"; }
    OpenResult Open(std::stop_token stop) override;
    int WaitReadable(std::chrono::milliseconds timeout) override;
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::ptrdiff_t Write(const char* bytes, std::size_t size) override;
    void Shutdown() override;
    int LastError() override;

private:
    const std::shared_ptr<ReplayWire> wire_;
    bool shutDown_ = false; // guarded by the wire's mutex
};

// Every connection of the link goes to the one wire.
class ReplayStreams final : public StreamFactory {
public:
    explicit ReplayStreams(std::shared_ptr<ReplayWire> wire) : wire_(std::move(wire)) {}
    std::unique_ptr<ByteStream> Make(const LinkTarget&) override {
        return std::make_unique<ReplayStream>(wire_);
    }

private:
    std::shared_ptr<ReplayWire> wire_;
};

} // namespace quorlex::replay
