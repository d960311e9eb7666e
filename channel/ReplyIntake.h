#pragma once

#include "channel/CommandChannel.h"
#include "channel/Cp936ChunkDecoder.h"
#include "link/LinkConnection.h"

#include <chrono>
#include <functional>

namespace quorlex {

struct ReceiverSettings;

// Pauses the UI thread after a short chunk so the receiver's burst arrives in
// fewer, larger chunks. Tests inject one that does not sleep.
using Sleeper = std::function<void(std::chrono::milliseconds)>;

Sleeper RealSleeper();

// Cuts received chunks into lines for the key dispatch, reports the reading of
// the configuration as progress texts, and hands every chunk to the
// acknowledgement matching.
class ReplyIntake {
public:
    ReplyIntake(ReceiverSettings& settings, CommandChannel& channel, Sleeper sleeper)
        : settings_(settings), channel_(channel), sleeper_(std::move(sleeper)) {}

    bool OnReceive(const char* bytes, size_t count);
    bool ParseReplies(const char* bytes, size_t count);
    // Forgets the text of an unfinished line: a new connection starts clean.
    void Reset();

    static constexpr int kMaxLinesPerChunk = 10000;
    static constexpr size_t kMaxPendingChars = 10000;
    static constexpr std::chrono::milliseconds kPauseAfterChunk{500};
    // A chunk this long filled the reader's buffer: more is already waiting.
    static constexpr size_t kFullChunk = LinkConnection::kReceiveSize;

private:
    void ReportKeys();

    ReceiverSettings& settings_;
    CommandChannel& channel_;
    Sleeper sleeper_;
    Cp936ChunkDecoder decoder_;
};

} // namespace quorlex
