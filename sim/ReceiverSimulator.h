#pragma once

#include "sim/CasterTable.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlex {

// Misbehaviour towards one command. It names the command word and key
// ("SET,NETWORK.ADDR", "GET,ALL") and applies to a received command that is
// exactly that or that followed by "," and arguments.
struct CommandFault {
    enum class Kind {
        Ignore,      // the first count copies are received but not answered
        AnswerError, // every copy is refused with an error line (errorCode)
        DropAfter, // the first count copies are carried out, then the link drops before the answer
    };
    std::string command;
    Kind kind = Kind::Ignore;
    int count = 1;
    int errorCode = 5;

    bool Matches(std::string_view received) const;
};

// Misbehaviour on demand, so that the tool's handling of a poor link can be
// exercised. All switches may be changed while a connection is served.
struct SimulatorFaults {
    // Commands are still recorded but never answered.
    bool silent = false;
    // Every checksummed line carries a checksum that does not match its text.
    bool badChecksums = false;
    // Above 0: each line leaves in pieces of at most this many bytes, with
    // splitPause between the pieces, so the far end reads it in several chunks.
    std::size_t splitPieceBytes = 0;
    std::chrono::milliseconds splitPause{20};
    // Wait before the answer to each command.
    std::chrono::milliseconds replyDelay{0};
    // Above 0: the connection is cut once this many bytes have been sent.
    std::size_t dropAfterBytes = 0;
    // Per-command faults; the first that matches a command applies. Setting
    // the faults starts their counts afresh.
    std::vector<CommandFault> commandFaults{};
};

// A GNSS receiver at the far end of a stream socket: it answers the line
// protocol (key bursts, SET commands, configuration slots, the five-pin port
// command, the mount point list with its source table) on its own thread.
//
// Configuration slots: commands between "SET,CONFIG,n,START" and
// "SET,CONFIG,n,END" edit a copy of the live configuration taken at START and
// do not touch the live configuration; END stores that copy as slot n (a
// bracket that never ends stores nothing). "SET,DEVICE.CUR_CONFIG,n" loads
// slot n into the live configuration. "GET,ALL,n" reports slot n's settings
// together with the receiver's live identity and status keys.
//
// The five-pin port is the receiver's external port: "COM,<baud>" changes the
// value reported under EXTERNAL.BAUD.
class ReceiverSimulator {
public:
    static constexpr int kDefaultLineRate = 115200;
    static constexpr int kSlotCount = 5;

    ReceiverSimulator();
    ~ReceiverSimulator();
    ReceiverSimulator(const ReceiverSimulator&) = delete;
    ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

    // Takes ownership of one end of a connected SOCK_STREAM socket, or of the
    // master of a pseudo-terminal standing for a serial line, and serves it
    // until the peer closes, Detach() or destruction. A new Attach ends the
    // previous connection first. A negative fd is ignored.
    void Attach(int fd);
    // Closes the connection and joins the serving thread; harmless when idle.
    void Detach();
    // True while the serving thread runs (false once the peer has closed).
    bool Serving() const;

    // Every command line received, in order, without its line end.
    std::vector<std::string> ReceivedCommands() const;
    void ClearReceivedCommands();
    // Waits until at least count commands have been received and answered
    // (or dropped by a fault). False on time-out.
    bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const;
    // Bytes written to the socket on the current or last connection.
    std::size_t BytesSent() const;

    // Bytes are paced as on a serial line of this rate (10 bits per byte,
    // 8N1); 0 sends as fast as the socket takes them.
    void SetLineRate(int bitsPerSecond);
    int LineRate() const;

    void SetFaults(const SimulatorFaults& faults);
    SimulatorFaults Faults() const;

    // 0 radio, 1 network relay, 2 radio relay, 3 base network; -1 when the
    // system mode holds none of the four mode words.
    int WorkingMode() const;
    // The live value of a key of the burst; nullopt for an unknown key.
    std::optional<std::u16string> Value(std::u16string_view key) const;
    // Overrides a live value as if the receiver had changed by itself
    // (any key of the burst, read-only ones included). False for an unknown key.
    bool SetValue(std::u16string_view key, std::u16string_view value);
    // The stored value of a setting in slot 1..5; nullopt for a bad slot or
    // a key that slots do not hold.
    std::optional<std::u16string> SlotValue(int slot, std::u16string_view key) const;
    // The slot last loaded with "SET,DEVICE.CUR_CONFIG,n", 0 before any.
    int CurrentSlot() const;
    // The slot whose bracket is open, 0 when none.
    int OpenSlot() const;
    std::u16string FivePinBaud() const;
    // Names the mount point list reports, in order.
    std::vector<std::u16string> MountPoints() const;
    // Replaces the STR records of the caster's source table (and so the
    // names of the mount point list).
    void SetCasterStreams(std::vector<std::u16string> streams);
    // How the caster answers the request for its source table.
    void SetCaster(CasterForm form);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quorlex
