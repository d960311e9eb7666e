#pragma once

#include "cli/ConfigFile.h"
#include "cli/ReceiverSession.h"
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

// Checks every RECEIVER and the options before anything is sent. nullopt
// with the exit code (and the reason on standard error) when one is refused.
std::optional<std::vector<ResolvedReceiver>> ResolveReceivers(ToolContext& context,
                                                              const ReceiverOptions& options,
                                                              const std::vector<std::string>& names,
                                                              int& exitCode);

// Reads the current configuration (slot 0) or a slot into a fresh record in
// which every field the receiver does not report stays marked as such.
bool ReadConfiguration(ReceiverSession& session, int slot, ConfigFile& reported,
                       std::string& error);

// Connects and reads; false with error when either fails.
bool OpenReceiver(ToolContext& context, ProgressLog& log, const ResolvedReceiver& receiver,
                  int slot, OpenedReceiver& opened, std::string& error);

} // namespace quorlex::cli
