#pragma once

#include "cli/ConfigFile.h"
#include "cli/ReceiverSession.h"
#include "cli/RunWireLog.h"
#include "cli/ToolContext.h"
#include "model/ReceiverInfo.h"

#include <memory>
#include <optional>
#include <string>

namespace quorlex::cli {

// A receiver named on the command line, found, connected and read.
struct OpenedReceiver {
    std::string label;
    std::unique_ptr<ReceiverSession> session;
    ConfigFile reported;
    ReceiverInfo identity;
};

// The receivers a run names, checked, and the wire log they all write to.
// Declared before any session opened for them, so the log outlives the links.
struct RunReceivers {
    std::unique_ptr<RunWireLog> wireLog; // nullptr without --wire-log
    std::vector<ResolvedReceiver> list;
};

// Checks every RECEIVER and the options, and opens the wire log, before
// anything is sent. nullopt (with the reason on standard error) when one is
// refused: exit with kExitUsage.
std::optional<RunReceivers> ResolveReceivers(ToolContext& context, const ReceiverOptions& options,
                                             const std::vector<std::string>& names);

// Reads the current configuration (slot 0) or a slot into a fresh record in
// which every field the receiver does not report stays marked as such.
bool ReadConfiguration(ReceiverSession& session, int slot, ConfigFile& reported,
                       std::string& error);

// Connects and reads; false with error when either fails.
bool OpenReceiver(ToolContext& context, ProgressLog& log, const ResolvedReceiver& receiver,
                  int slot, OpenedReceiver& opened, std::string& error);

} // namespace quorlex::cli
